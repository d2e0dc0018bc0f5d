// A fresh simulated kernel with the codec module loaded, per test.
#pragma once

#include "kernel/harness/ti_calls.h"
#include "kernel/sim/sim.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace codec {

using Writes = std::vector<std::pair<int, int>>;  // (register, value)

inline sim_board board(bool codec = true, bool byteData = true)
{
    return sim_board{codec ? 1 : 0, byteData ? 1 : 0};
}

// Boots the board and loads the module; returns the init result.
inline int load(sim_board b = board(), const char* params = nullptr)
{
    sim_boot(&b);
    return sim_load_module(aic31_module_path(), params);
}

// Calls an export of the loaded module by name.
inline long long call(const std::string& name, std::vector<long long> args = {})
{
    const ti_call* fn = ti_call_find(name.c_str());
    void (*sym)(void) = sim_symbol(name.c_str());
    if (!fn || !sym || static_cast<size_t>(fn->arity) != args.size()) {
        ADD_FAILURE() << "cannot call " << name;
        return -9999;
    }
    args.resize(TI_CALL_MAX_ARGS);
    return fn->invoke(sym, args.data()).value;
}

inline std::vector<sim_event> events()
{
    std::vector<sim_event> all;
    for (size_t i = 0; i < sim_event_count(); ++i)
        all.push_back(*sim_event_at(i));
    return all;
}

inline std::vector<sim_event> transfers(enum sim_xfer_kind kind)
{
    std::vector<sim_event> out;
    for (const sim_event& e : events())
        if (e.kind == SIM_EV_XFER && e.xfer == kind)
            out.push_back(e);
    return out;
}

// Register writes the codec saw (byte-data writes), in order.
inline Writes writes()
{
    Writes out;
    for (const sim_event& e : transfers(SIM_XFER_WRITE_BYTE_DATA))
        out.emplace_back(e.reg, e.value);
    return out;
}

inline std::string klog() { return sim_klog(); }

inline void clearLogs()
{
    sim_klog_clear();
    sim_events_clear();
}

inline std::string proc()
{
    const char* text = nullptr;
    long n = sim_proc_read("ti_tlv320", &text);
    EXPECT_GE(n, 0);
    return n < 0 ? std::string() : std::string(text, static_cast<size_t>(n));
}

// Everything of the proc text from the first summary line on.
inline std::string summary()
{
    std::string text = proc();
    size_t at = text.find("Fsref divisor:");
    return at == std::string::npos ? std::string() : text.substr(at);
}

inline std::string summaryText(int divisor, int p, int r, int j, int d, const char* k, int rate,
                               int bits, const char* volume, const char* dacMute,
                               const char* lopGain, const char* lopMute)
{
    char buf[1024];
    std::snprintf(buf, sizeof(buf),
                  "Fsref divisor:          %d\n"
                  "Actual PLL P value:     %d\n"
                  "Actual PLL R value:     %d\n"
                  "Actual PLL J value:     %d\n"
                  "Actual PLL D value:     %d\n"
                  "Computed PLL K value:   %s\n"
                  "Computed sample rate:   %d\n"
                  "Sample size (bits):     %d\n"
                  "Dac Volume (L/R):       %s\n"
                  "Dac Mute (L/R):         %s\n"
                  "LOP/M Gain(db) (L/R):   %s\n"
                  "LOP/M Mute (L/R):       %s\n"
                  "\n\n",
                  divisor, p, r, j, d, k, rate, bits, volume, dacMute, lopGain, lopMute);
    return buf;
}

class LoadedCodec : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(0, load());
        clearLogs();
    }
    void TearDown() override { sim_halt(); }
};

}  // namespace codec
