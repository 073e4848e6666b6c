// What a Windows host reads by the class ID: the bundle's moduleinfo.json and
// snapshot name, and the factory presets' headers. Each must use the text the
// SDK computes here, from this build's own factory.
#include "CrossHost.h"
#include "CrossScenario.h"
#include "RawFile.h"
#include "SharedPlugin.h"
#include "TestRunner.h"

#include "pluginterfaces/base/funknown.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

using namespace Steinberg;

namespace {

std::string FactoryClassIdText(IPluginFactory* factory)
{
    PClassInfo info;
    if (factory->getClassInfo(0, &info) != kResultOk)
        return {};
    char8 text[33] = {};
    FUID::fromTUID(info.cid).toString(text);
    return text;
}

std::string InOrderText(IPluginFactory* factory)
{
    PClassInfo info;
    if (factory->getClassInfo(0, &info) != kResultOk)
        return {};
    std::string text;
    char digits[3];
    for (int i = 0; i < 16; ++i) {
        std::snprintf(digits, sizeof digits, "%02X", static_cast<unsigned char>(info.cid[i]));
        text += digits;
    }
    return text;
}

std::vector<std::string> FilesIn(const std::string& folder, const char* pattern)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\" + pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

}   // namespace

WIN_TEST(BundleNamesTheClassAsWindowsSpellsIt)
{
    const std::string bundle = t.Option("bundle");
    REQUIRE(!bundle.empty());
    IPluginFactory* factory = SharedPlugin().GetFactory();
    REQUIRE(factory);
    const std::string cid = FactoryClassIdText(factory);
    const std::string inOrder = InOrderText(factory);
    factory->release();
    REQUIRE(cid.size() == 32);
    // GUID order: the first three groups read back to front.
    CHECK(cid != inOrder);
    CHECK_EQ(cid.substr(16), inOrder.substr(16));

    std::vector<uint8_t> bytes;
    REQUIRE(RawFile::Read(bundle + "\\Contents\\Resources\\moduleinfo.json", bytes));
    const std::string json(bytes.begin(), bytes.end());
    t.Check(Contains(json, "\"CID\": \"" + cid + "\""), "moduleinfo.json names the class by the Windows text", __FILE__,
            __LINE__, cid);
    CHECK(!Contains(json, inOrder));
    const std::string snapshot = "Contents/Resources/Snapshots/" + cid + "_snapshot.png";
    t.Check(Contains(json, "\"Path\": \"" + snapshot + "\""), "moduleinfo.json lists the snapshot", __FILE__, __LINE__,
            snapshot);

    const std::vector<std::string> pictures = FilesIn(bundle + "\\Contents\\Resources\\Snapshots", "*.png");
    CHECK(!pictures.empty());
    for (const std::string& name : pictures)
        t.Check(name.compare(0, 32 + 9, cid + "_snapshot") == 0, "snapshot named by the Windows text", __FILE__,
                __LINE__, name);
    t.Check(GetFileAttributesA((bundle + "\\Contents\\Resources\\Snapshots\\" + cid + "_snapshot.png").c_str()) !=
                INVALID_FILE_ATTRIBUTES,
            "the snapshot exists", __FILE__, __LINE__, cid);
}

// Each preset is loaded and the scenario's input rendered through it; the
// Linux side compares the output with its own file's.
WIN_TEST(FactoryPresetsNameTheClassAsWindowsSpellsItAndRender)
{
    const std::string folder = t.Option("presets");
    const std::string exchange = t.Option("exchange");
    REQUIRE(!folder.empty());
    IPluginFactory* factory = SharedPlugin().GetFactory();
    REQUIRE(factory);
    const std::string cid = FactoryClassIdText(factory);
    const std::vector<std::string> presets = FilesIn(folder, "*.vstpreset");
    CHECK_EQ(presets.size(), 6u);
    for (const std::string& name : presets) {
        std::vector<uint8_t> bytes;
        REQUIRE(RawFile::Read(folder + "\\" + name, bytes));
        // "VST3", a 32-bit version, then the class ID text.
        REQUIRE(bytes.size() > 48);
        t.Check(std::string(bytes.begin() + 8, bytes.begin() + 40) == cid, "preset header names the class", __FILE__,
                __LINE__, name);
        CrossHost host(factory);
        REQUIRE(host.Prepare64(CrossScenario::kSampleRate, CrossScenario::kMaxBlock));
        t.Check(host.LoadPreset(bytes), "preset loads", __FILE__, __LINE__, name);
        std::vector<double> output;
        REQUIRE(host.Render(CrossScenario::MainInput(), CrossScenario::SidechainInput(), {}, CrossScenario::kBlockSize,
                            output));
        if (!exchange.empty())
            CHECK(RawFile::WriteDoubles(exchange + "\\windows-preset-" + name + ".f64", output));
    }
    factory->release();
}
