#include "SharedPlugin.h"

#include "TestRunner.h"

PluginLibrary& SharedPlugin()
{
    static PluginLibrary library(TestRunner::Instance().Option("dll"));
    return library;
}
