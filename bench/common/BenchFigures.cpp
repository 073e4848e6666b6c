#include "BenchFigures.h"

#include <algorithm>
#include <map>
#include <vector>

namespace {

std::map<std::string, std::vector<double>>& Store()
{
    static std::map<std::string, std::vector<double>> store;
    return store;
}

}   // namespace

void BenchFigures::Record(const std::string& key, double value)
{
    Store()[key].push_back(value);
}

bool BenchFigures::Median(const std::string& key, double& out)
{
    auto it = Store().find(key);
    if (it == Store().end() || it->second.empty())
        return false;
    std::vector<double> v = it->second;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    out = n % 2 ? v[n / 2] : 0.5 * (v[n / 2 - 1] + v[n / 2]);
    return true;
}
