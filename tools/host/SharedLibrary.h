#pragma once

#include <string>

namespace vsthost {

// A plug-in's binary mapped into this process, with the entry and exit calls
// this platform's hosts make around its use: Linux ModuleEntry(handle) and
// ModuleExit(), Windows InitDll() and ExitDll() (optional there).
class SharedLibrary {
public:
    enum class Entry {
        kDone,   // entered, or nothing to call on this platform
        kMissing,   // the library exports no entry function this platform needs
        kFailed   // the entry function returned false
    };

    SharedLibrary() = default;
    ~SharedLibrary() { close(); }
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    // bindNow resolves every symbol at once where the platform defers it.
    bool open(const std::string& path, std::string& error, bool bindNow = false);
    // Unmaps; the caller has made the exit call when it wanted one.
    void close();
    bool isOpen() const { return handle_ != nullptr; }
    // The dlopen handle or the HMODULE.
    void* handle() const { return handle_; }
    void* symbol(const char* name) const;

    // False when enter() would answer kMissing.
    bool exportsEntry() const;
    Entry enter();
    void exit();

    static const char* entryName();
    static const char* exitName();
    // BUNDLE/Contents/<machine>-<os>/<NAME>.<so|vst3>, built from the name alone.
    static std::string libraryInBundle(const std::string& bundle, const std::string& name);
    // True while a library of that path is mapped in this process.
    static bool isMapped(const std::string& path);

private:
    void* handle_ = nullptr;
};

}   // namespace vsthost
