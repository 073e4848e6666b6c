#include "plug/TidepullEditorLayout.h"

// Builds that leave out the editor library give the plug no editor: the host
// gets no view, and the audio side skips its meter.
void TidepullEditorLayout::Build(Tidepull& /*plug*/)
{
}
