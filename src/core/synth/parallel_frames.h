#pragma once

#include "core/synth/sample_buffer.h"

#include <algorithm>
#include <limits>
#include <thread>
#include <type_traits>
#include <vector>

namespace kelvo {

// Below this many frames a core's share is not worth a thread.
inline constexpr FrameIndex kMinFramesPerThread = 32768;

// How many parts a loop over `frames` frames is split into: one per core, at most
// `maxParts`, each with at least kMinFramesPerThread frames.
inline FrameIndex ThreadParts(FrameIndex frames, FrameIndex maxParts)
{
    const auto cores = static_cast<FrameIndex>(std::max(1u, std::thread::hardware_concurrency()));
    return std::clamp<FrameIndex>(frames / kMinFramesPerThread, 1, std::min(cores, maxParts));
}

// Runs `part(j)` for j = 0 .. parts - 1: the last part on the calling thread, the others on
// helper threads that are joined before it returns. Returns what the last part returns.
template <typename Part> auto RunParts(FrameIndex parts, Part&& part)
{
    std::vector<std::jthread> helpers;
    helpers.reserve(static_cast<std::size_t>(parts - 1));
    for (FrameIndex j = 0; j + 1 < parts; ++j)
        helpers.emplace_back([&part, j] { part(j); });
    return part(parts - 1);
}

// Runs `body(begin, end)` over frames 0 .. frames - 1, split across the cores. Only for
// generators whose frames do not depend on each other.
template <typename Body> void ForEachFrameRange(FrameIndex frames, Body&& body)
{
    const FrameIndex parts = ThreadParts(frames, std::numeric_limits<FrameIndex>::max());
    RunParts(parts, [&body, frames, parts](FrameIndex j) { body(frames * j / parts, frames * (j + 1) / parts); });
}

using Wet = std::true_type;
using Dry = std::false_type;

// Runs a frame loop whose frames share a running state (a frequency, a step, a position).
// `frame(state, n, write)` is one whole pass of frame n: it advances the state and, when
// `decltype(write)::value`, stores the samples. The state is cheap to advance compared with
// the samples, so each core but the first advances a copy of the initial state "dry" through
// the frames before its own range and then renders that range: every frame sees exactly the
// state the plain sequential loop gives it. `dryShare` is the cost of a dry frame as a share
// of a rendered one; it only balances the ranges. Returns the state after the last frame.
template <typename State, typename Frame>
State RunSequence(FrameIndex frames, const State& initial, double dryShare, Frame&& frame)
{
    constexpr int kMaxParts = 64;
    const FrameIndex wanted = ThreadParts(frames, kMaxParts);

    // Range j takes the length that makes every core finish together: it starts after a dry
    // run over all earlier ranges, so each range is shorter than the one before.
    double weights[kMaxParts];
    double total = 0;
    FrameIndex parts = 0;
    for (; parts < wanted; ++parts) {
        const double weight = 1 - dryShare * total;
        if (weight <= 0.05)
            break;
        weights[parts] = weight;
        total += weight;
    }
    FrameIndex bounds[kMaxParts + 1] = {0};
    double sum = 0;
    for (FrameIndex j = 0; j < parts; ++j) {
        sum += weights[j];
        bounds[j + 1] = j + 1 == parts ? frames : static_cast<FrameIndex>(static_cast<double>(frames) * (sum / total));
    }

    auto run = [&frame, &initial](FrameIndex begin, FrameIndex end) {
        State state = initial;
        for (FrameIndex n = 0; n < begin; ++n)
            frame(state, n, Dry{});
        for (FrameIndex n = begin; n < end; ++n)
            frame(state, n, Wet{});
        return state;
    };
    return RunParts(parts, [&run, &bounds](FrameIndex j) { return run(bounds[j], bounds[j + 1]); });
}

} // namespace kelvo
