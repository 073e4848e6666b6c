#pragma once

#include <string>
#include <vector>

// The files one run reads and writes, each with the role it has on the
// command line. Every output needs a file of its own, and no input may be an
// output: it would be overwritten before it is read (or, for a FIFO, never
// read at all).
class DistinctFiles {
public:
    // `outputs` names them in the messages: "outputs", "images".
    explicit DistinctFiles(const std::string& outputs) : outputs_(outputs) {}

    // Empty paths are left out.
    void addInput(const std::string& role, const std::string& path);
    void addOutput(const std::string& role, const std::string& path);
    // False with one line naming the first clash.
    bool check(std::string& error) const;

private:
    struct File {
        std::string role;
        std::string path;
    };

    std::string outputs_;
    std::vector<File> inputs_;
    std::vector<File> outputFiles_;
};
