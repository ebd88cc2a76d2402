// dtuctl's end-to-end tests' ground: simulated DTUs on pseudo-terminals,
// stopped after each test, and a temporary folder for files.
#pragma once

#include "dtu-sim/sim/SimulatedDtu.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

class SimulatedDtus : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/dtuctl-test-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir_ = pattern;
        // What a job keeps on the station (the outbox of record ends) stays
        // in the test's folder.
        ::setenv("XDG_DATA_HOME", pattern, 1);
    }
    void TearDown() override
    {
        for (auto& dtu : dtus_)
            dtu->Stop();
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }

    sim::SimulatedDtu& Start(sim::Faults faults = {}, std::ostream* log = nullptr)
    {
        sim::SimulatedDtu::Options options;
        options.faults = faults;
        options.log = log;
        dtus_.push_back(std::make_unique<sim::SimulatedDtu>(options));
        EXPECT_TRUE(dtus_.back()->Start()) << dtus_.back()->error();
        return *dtus_.back();
    }

    std::string File(const std::string& name, const std::string& content)
    {
        const std::string path = (dir_ / name).string();
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }

    std::filesystem::path dir_;
    std::vector<std::unique_ptr<sim::SimulatedDtu>> dtus_;
};
