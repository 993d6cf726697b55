// Runs every stored corpus input and every past crasher through the fuzz
// targets, so the ordinary test run keeps what the fuzzers found.

#include "tests/fuzz/FuzzSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

extern "C" int FuzzVqfTagsOneInput(const std::uint8_t* data, std::size_t size);
extern "C" int FuzzPlaylistRoundTripOneInput(const std::uint8_t* data, std::size_t size);
extern "C" int FuzzCStringOneInput(const std::uint8_t* data, std::size_t size);

namespace {

namespace fs = std::filesystem;

struct FuzzTarget
{
    const char* name;  // folder name under corpus/ and crashers/
    int (*run)(const std::uint8_t*, std::size_t);
};

std::vector<fs::path> StoredInputs(const char* target)
{
    std::vector<fs::path> inputs;
    for (const char* kind : {"corpus", "crashers"}) {
        const fs::path folder = fs::path(JUMBLA_FUZZ_DIR) / kind / target;
        if (!fs::is_directory(folder))
            continue;
        for (const auto& entry : fs::directory_iterator(folder)) {
            if (entry.is_regular_file())
                inputs.push_back(entry.path());
        }
    }
    std::sort(inputs.begin(), inputs.end());
    return inputs;
}

class FuzzReplay : public testing::TestWithParam<FuzzTarget>
{
};

TEST_P(FuzzReplay, EveryStoredInputPasses)
{
    const std::vector<fs::path> inputs = StoredInputs(GetParam().name);
    // A target without a corpus would pass without testing anything.
    ASSERT_FALSE(inputs.empty()) << "no corpus for " << GetParam().name;
    for (const fs::path& input : inputs) {
        const std::string bytes = ReadFileBytes(input.string());
        const std::string name = input.string();
        g_fuzzInputName = name.c_str();
        GetParam().run(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        g_fuzzInputName = nullptr;
    }
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzReplay,
                         testing::Values(FuzzTarget{"vqf_tags", FuzzVqfTagsOneInput},
                                         FuzzTarget{"playlist_roundtrip", FuzzPlaylistRoundTripOneInput},
                                         FuzzTarget{"cstring", FuzzCStringOneInput}),
                         [](const testing::TestParamInfo<FuzzTarget>& info) {
                             std::string name = info.param.name;
                             name.erase(std::remove(name.begin(), name.end(), '_'), name.end());
                             return name;
                         });

}  // namespace
