#include "DistinctFiles.h"

#include "FileIdentity.h"

namespace {
std::string named(const std::string& a, const std::string& b)
{
    return a == b ? "'" + a + "' is" : "'" + a + "' and '" + b + "' are one file,";
}
}   // namespace

void DistinctFiles::addInput(const std::string& role, const std::string& path)
{
    if (!path.empty())
        inputs_.push_back({role, path});
}

void DistinctFiles::addOutput(const std::string& role, const std::string& path)
{
    if (!path.empty())
        outputFiles_.push_back({role, path});
}

bool DistinctFiles::check(std::string& error) const
{
    for (size_t a = 0; a < outputFiles_.size(); ++a) {
        const FileIdentity first(outputFiles_[a].path);
        for (size_t b = a + 1; b < outputFiles_.size(); ++b) {
            if (first == FileIdentity(outputFiles_[b].path)) {
                error = named(outputFiles_[a].path, outputFiles_[b].path) + " given for two " + outputs_ + " (" +
                    outputFiles_[a].role + " and " + outputFiles_[b].role + "); each needs a file of its own";
                return false;
            }
        }
    }
    for (const File& input : inputs_) {
        const FileIdentity read(input.path);
        for (const File& output : outputFiles_) {
            if (read == FileIdentity(output.path)) {
                error = named(input.path, output.path) + " both " + input.role + " and " + output.role +
                    "; it would be overwritten before it is read";
                return false;
            }
        }
    }
    return true;
}
