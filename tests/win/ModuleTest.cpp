// The DLL as a Windows host first meets it: what it imports and exports, its
// entry points, its factory and its resources.
#include "CrossHost.h"
#include "SharedPlugin.h"
#include "TestRunner.h"

#include "pix/PIX_MemBitmap.h"
#include "pix/PIX_Png.h"

#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

const IMAGE_NT_HEADERS* NtHeaders(const void* module)
{
    const auto* base = static_cast<const uint8_t*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE)
        return nullptr;
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    return nt->Signature == IMAGE_NT_SIGNATURE ? nt : nullptr;
}

// Names in the loaded image's export directory.
std::vector<std::string> ExportedNames(const void* module)
{
    std::vector<std::string> names;
    const IMAGE_NT_HEADERS* nt = NtHeaders(module);
    if (!nt)
        return names;
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    if (dir.VirtualAddress == 0)
        return names;
    const auto* base = static_cast<const uint8_t*>(module);
    const auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + dir.VirtualAddress);
    const auto* nameRvas = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    for (DWORD i = 0; i < exports->NumberOfNames; ++i)
        names.emplace_back(reinterpret_cast<const char*>(base + nameRvas[i]));
    return names;
}

// DLL names in the loaded image's import directory.
std::vector<std::string> ImportedDlls(const void* module)
{
    std::vector<std::string> names;
    const IMAGE_NT_HEADERS* nt = NtHeaders(module);
    if (!nt)
        return names;
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (dir.VirtualAddress == 0)
        return names;
    const auto* base = static_cast<const uint8_t*>(module);
    for (const auto* desc = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
         desc->Name != 0; ++desc)
        names.emplace_back(reinterpret_cast<const char*>(base + desc->Name));
    return names;
}

bool InSystemDirectory(const std::string& dll)
{
    char dir[MAX_PATH];
    const UINT n = GetSystemDirectoryA(dir, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return false;
    const std::string path = std::string(dir) + "\\" + dll;
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

template <typename I>
I* Query(FUnknown* object)
{
    void* obj = nullptr;
    if (!object || object->queryInterface(I::iid, &obj) != kResultOk)
        return nullptr;
    return static_cast<I*>(obj);
}

std::string Utf16ToAscii(const char16* text)
{
    std::string out;
    for (; *text; ++text)
        out.push_back(*text < 128 ? static_cast<char>(*text) : '?');
    return out;
}

}   // namespace

WIN_TEST(ModuleLoadsAndImportsOnlySystemDlls)
{
    PluginLibrary& plugin = SharedPlugin();
    REQUIRE(plugin.Loaded());
    t.Check(plugin.Entered(), "InitDll returned true", __FILE__, __LINE__, plugin.Error());
    const std::vector<std::string> imports = ImportedDlls(plugin.Handle());
    CHECK(!imports.empty());
    // A MinGW runtime DLL (libstdc++, libgcc, winpthread) or zlib1.dll would
    // not be in the system directory of a user's machine.
    for (const std::string& dll : imports)
        t.Check(InSystemDirectory(dll), "import is a system DLL", __FILE__, __LINE__, dll);
}

WIN_TEST(ModuleExportsExactlyTheThreeEntryPoints)
{
    PluginLibrary& plugin = SharedPlugin();
    REQUIRE(plugin.Loaded());
    std::vector<std::string> names = ExportedNames(plugin.Handle());
    std::sort(names.begin(), names.end());
    std::string all;
    for (const std::string& n : names)
        all += n + " ";
    t.Check(names == std::vector<std::string>{"ExitDll", "GetPluginFactory", "InitDll"},
            "exports are ExitDll GetPluginFactory InitDll", __FILE__, __LINE__, all);
}

WIN_TEST(ModuleInitDllAndExitDllAnswerTrueAndMayRepeat)
{
    PluginLibrary& plugin = SharedPlugin();
    REQUIRE(plugin.Loaded());
    auto initDll = reinterpret_cast<bool (*)()>(plugin.Symbol("InitDll"));
    auto exitDll = reinterpret_cast<bool (*)()>(plugin.Symbol("ExitDll"));
    REQUIRE(initDll && exitDll);
    CHECK(initDll());
    CHECK(exitDll());
    CHECK(initDll());
    // The host's own view of the module: the handle LoadLibraryW gave.
    CHECK(GetModuleHandleW(L"Tidepull.vst3") == static_cast<HMODULE>(plugin.Handle()));
}

WIN_TEST(FactoryDescribesTheOneClass)
{
    IPluginFactory* factory = SharedPlugin().GetFactory();
    REQUIRE(factory);
    PFactoryInfo info;
    CHECK_EQ(factory->getFactoryInfo(&info), kResultOk);
    CHECK_EQ(std::string(info.vendor), std::string("Quillmarch"));
    CHECK_EQ(info.flags, static_cast<int32>(PFactoryInfo::kUnicode));
    CHECK_EQ(factory->countClasses(), 1);

    PClassInfo classInfo;
    CHECK_EQ(factory->getClassInfo(0, &classInfo), kResultOk);
    CHECK(std::memcmp(classInfo.cid, CrossHost::kClassId, sizeof(TUID)) == 0);
    CHECK_EQ(std::string(classInfo.category), std::string("Audio Module Class"));
    CHECK_EQ(std::string(classInfo.name), std::string("Tidepull"));
    CHECK_EQ(classInfo.cardinality, 0x7FFFFFFF);
    CHECK_EQ(factory->getClassInfo(1, &classInfo), kInvalidArgument);

    IPluginFactory2* factory2 = Query<IPluginFactory2>(factory);
    REQUIRE(factory2);
    PClassInfo2 info2;
    CHECK_EQ(factory2->getClassInfo2(0, &info2), kResultOk);
    CHECK_EQ(std::string(info2.subCategories), std::string("Fx|Dynamics"));
    CHECK_EQ(std::string(info2.version), std::string("5.0.0"));
    CHECK_EQ(std::string(info2.sdkVersion), std::string("VST 3.6.12"));
    CHECK_EQ(std::string(info2.vendor), std::string(""));
    CHECK_EQ(info2.classFlags, 2u);
    factory2->release();

    IPluginFactory3* factory3 = Query<IPluginFactory3>(factory);
    REQUIRE(factory3);
    PClassInfoW infoW;
    CHECK_EQ(factory3->getClassInfoUnicode(0, &infoW), kResultOk);
    CHECK_EQ(Utf16ToAscii(infoW.name), std::string("Tidepull"));
    CHECK_EQ(std::string(infoW.subCategories), std::string("Fx|Dynamics"));
    CHECK_EQ(Utf16ToAscii(infoW.version), std::string("5.0.0"));
    factory3->release();
    factory->release();
}

WIN_TEST(FactoryClassIdSpellsTheMakerAndPlugCodes)
{
    IPluginFactory* factory = SharedPlugin().GetFactory();
    REQUIRE(factory);
    PClassInfo info;
    REQUIRE(factory->getClassInfo(0, &info) == kResultOk);
    const unsigned char expected[16] = {0x0D, 0xE7, 0xAE, 0xF2, 0xDE, 0x00, 0x4E, 0x4F,
                                        'Q',  'l',  'm',  'r',  'T',  'd',  'p',  '1'};
    CHECK(std::memcmp(info.cid, expected, 16) == 0);
    factory->release();
}

WIN_TEST(FactoryIsSharedWhileReferenced)
{
    IPluginFactory* first = SharedPlugin().GetFactory();
    IPluginFactory* second = SharedPlugin().GetFactory();
    REQUIRE(first && second);
    CHECK(first == second);
    second->release();
    first->release();
}

WIN_TEST(FactoryCreatesAnObjectWithAllItsInterfaces)
{
    IPluginFactory* factory = SharedPlugin().GetFactory();
    REQUIRE(factory);
    {
        CrossHost host(factory);
        CHECK(host.Valid());
        void* obj = nullptr;
        const TUID unknownClass = {0};
        CHECK(factory->createInstance(unknownClass, IComponent::iid, &obj) != kResultOk);
        CHECK(obj == nullptr);
    }
    factory->release();
}

WIN_TEST(ResourcesHoldTheElevenPngStrips)
{
    PluginLibrary& plugin = SharedPlugin();
    REQUIRE(plugin.Loaded());
    const HMODULE module = static_cast<HMODULE>(plugin.Handle());
    struct Strip {
        int id;
        int width;
        int height;
    };
    const Strip strips[] = {{101, 24, 1525}, {102, 25, 1525},  {103, 50, 6050},   {104, 52, 6050},
                            {105, 65, 378},  {106, 1001, 270}, {107, 200, 14157}, {108, 38, 76},
                            {109, 25, 50},   {110, 25, 1525},  {111, 27, 1647}};
    for (const Strip& s : strips) {
        const std::string id = std::to_string(s.id);
        HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(s.id), "PNG");
        if (!t.Check(found != nullptr, "FindResourceA(id, \"PNG\")", __FILE__, __LINE__, id))
            continue;
        HGLOBAL loaded = LoadResource(module, found);
        const void* bytes = loaded ? LockResource(loaded) : nullptr;
        const DWORD size = SizeofResource(module, found);
        if (!t.Check(bytes != nullptr && size > 8, "resource bytes", __FILE__, __LINE__, id))
            continue;
        std::unique_ptr<PIX_MemBitmap> bitmap(PIX_PngFromMemory(bytes, size));
        if (!t.Check(bitmap != nullptr, "resource decodes as PNG", __FILE__, __LINE__, id))
            continue;
        t.Check(bitmap->Width() == s.width && bitmap->Height() == s.height, "strip size", __FILE__, __LINE__,
                id + ": " + std::to_string(bitmap->Width()) + " x " + std::to_string(bitmap->Height()));
    }
    CHECK(FindResourceA(module, MAKEINTRESOURCEA(112), "PNG") == nullptr);
}
