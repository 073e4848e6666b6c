#include <gtest/gtest.h>

#include <dlfcn.h>

namespace {

using EntryFn = bool (*)(void*);
using ExitFn = bool (*)();
using CountFn = int (*)();
using HandleFn = void* (*)();
using ResetFn = void (*)(bool);

class ModuleEntryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        handle = dlopen(TIDEPULL_ENTRY_PROBE_PATH, RTLD_LAZY | RTLD_LOCAL);
        ASSERT_NE(handle, nullptr) << dlerror();
        entry = reinterpret_cast<EntryFn>(dlsym(handle, "ModuleEntry"));
        exit = reinterpret_cast<ExitFn>(dlsym(handle, "ModuleExit"));
        initCalls = reinterpret_cast<CountFn>(dlsym(handle, "probeInitCalls"));
        deinitCalls = reinterpret_cast<CountFn>(dlsym(handle, "probeDeinitCalls"));
        moduleHandle = reinterpret_cast<HandleFn>(dlsym(handle, "probeModuleHandle"));
        reset = reinterpret_cast<ResetFn>(dlsym(handle, "probeReset"));
        ASSERT_NE(entry, nullptr);
        ASSERT_NE(exit, nullptr);
        ASSERT_TRUE(initCalls && deinitCalls && moduleHandle && reset);
        reset(true);
    }
    void TearDown() override
    {
        if (handle != nullptr)
            dlclose(handle);
    }

    void* handle = nullptr;
    EntryFn entry = nullptr;
    ExitFn exit = nullptr;
    CountFn initCalls = nullptr;
    CountFn deinitCalls = nullptr;
    HandleFn moduleHandle = nullptr;
    ResetFn reset = nullptr;
};

TEST_F(ModuleEntryTest, ExportsOnlyTheEntryPoints)
{
    // Built with hidden visibility: the hooks and the handle stay inside.
    EXPECT_EQ(dlsym(handle, "_Z10InitModulev"), nullptr);
    EXPECT_EQ(dlsym(handle, "_Z12DeinitModulev"), nullptr);
    EXPECT_EQ(dlsym(handle, "moduleHandle"), nullptr);
}

TEST_F(ModuleEntryTest, FirstEntryInitialisesAndLastExitDeinitialises)
{
    EXPECT_EQ(moduleHandle(), nullptr);
    ASSERT_TRUE(entry(handle));
    EXPECT_EQ(initCalls(), 1);
    EXPECT_EQ(moduleHandle(), handle);

    ASSERT_TRUE(entry(handle));
    ASSERT_TRUE(entry(handle));
    EXPECT_EQ(initCalls(), 1);

    EXPECT_TRUE(exit());
    EXPECT_TRUE(exit());
    EXPECT_EQ(deinitCalls(), 0);
    EXPECT_EQ(moduleHandle(), handle);

    EXPECT_TRUE(exit());
    EXPECT_EQ(deinitCalls(), 1);
    EXPECT_EQ(moduleHandle(), nullptr);

    // A later load cycle initialises again.
    ASSERT_TRUE(entry(handle));
    EXPECT_EQ(initCalls(), 2);
    EXPECT_TRUE(exit());
    EXPECT_EQ(deinitCalls(), 2);
}

TEST_F(ModuleEntryTest, UnbalancedExitIsRefused)
{
    EXPECT_FALSE(exit());
    EXPECT_EQ(deinitCalls(), 0);

    // The refused exit does not eat the next entry.
    ASSERT_TRUE(entry(handle));
    EXPECT_EQ(initCalls(), 1);
    EXPECT_TRUE(exit());
    EXPECT_EQ(deinitCalls(), 1);
    EXPECT_FALSE(exit());
    EXPECT_EQ(deinitCalls(), 1);
}

TEST_F(ModuleEntryTest, FailedInitialisationIsReported)
{
    reset(false);
    EXPECT_FALSE(entry(handle));
    EXPECT_EQ(initCalls(), 1);
    // The host still calls ModuleExit before unloading.
    EXPECT_TRUE(exit());
    EXPECT_EQ(deinitCalls(), 1);
}

}   // namespace
