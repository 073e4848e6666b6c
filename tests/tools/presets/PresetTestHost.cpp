#include "PresetTestHost.h"

#include "ByteStream.h"

#include "public.sdk/source/vst/vstpresetfile.h"

#include <cstring>
#include <fstream>
#include <iterator>

using namespace Steinberg;

namespace {
struct SharedModule {
    PluginModule module;
    PluginModule::EffectClass effect;
    std::string error;

    SharedModule()
    {
        if (module.load(TIDEPULL_TEST_BUNDLE, error))
            module.findAudioEffect(effect, error);
    }
};

SharedModule& shared()
{
    static SharedModule instance;
    return instance;
}
}   // namespace

const std::string& PresetTestHost::loadError()
{
    return shared().error;
}

PluginModule& PresetTestHost::module()
{
    return shared().module;
}

const PluginModule::EffectClass& PresetTestHost::effect()
{
    return shared().effect;
}

bool PresetTestHost::create(std::string& error)
{
    context_ = owned(new HostContext("tidepull-preset-tests"));
    handler_ = owned(new ComponentHandler);
    return instance_.create(module(), effect(), context_, handler_, error);
}

std::vector<uint8_t> PresetTestHost::state()
{
    IPtr<ByteStream> stream = owned(new ByteStream);
    std::string error;
    if (!instance_.saveState(*stream, error))
        return {};
    return stream->bytes();
}

std::vector<double> PresetTestHost::valuesOf(const std::vector<uint8_t>& blob)
{
    std::vector<double> values;
    for (size_t i = 0; i + 8 <= blob.size() && values.size() < kParameterCount; i += 8) {
        uint64_t bits = 0;
        for (int b = 7; b >= 0; --b)
            bits = (bits << 8) | blob[i + b];
        double value = 0.0;
        std::memcpy(&value, &bits, sizeof value);
        values.push_back(value);
    }
    return values;
}

uint32_t PresetTestHost::bypassWordOf(const std::vector<uint8_t>& blob)
{
    const size_t at = 8 * kParameterCount;
    if (blob.size() < at + 4)
        return 0xffffffffu;
    return blob[at] | (blob[at + 1] << 8) | (blob[at + 2] << 16) | (static_cast<uint32_t>(blob[at + 3]) << 24);
}

std::vector<uint8_t> PresetTestHost::componentChunkOf(const std::string& path, std::string* classId)
{
    IPtr<ByteStream> file = owned(new ByteStream);
    std::string error;
    if (!file->loadFile(path, error))
        return {};
    Vst::PresetFile preset(file);
    if (!preset.readChunkList())
        return {};
    if (classId) {
        char8 text[33] = {};
        preset.getClassID().toString(text);
        *classId = text;
    }
    const Vst::PresetFile::Entry* entry = preset.getEntry(Vst::kComponentState);
    if (!entry || entry->offset < 0 || entry->size < 0 ||
        static_cast<size_t>(entry->offset + entry->size) > file->bytes().size())
        return {};
    const auto begin = file->bytes().begin() + entry->offset;
    return std::vector<uint8_t>(begin, begin + entry->size);
}

std::vector<uint8_t> PresetTestHost::fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
