// Work on many independent items split among the processor's cores: each
// thread takes one contiguous slice, the calling thread the first.
#pragma once

#include <algorithm>
#include <cstddef>
#include <functional>
#include <thread>
#include <vector>

// The threads that RunInSlices would use for `count` items.
inline unsigned SliceThreads(size_t count, size_t fewest, unsigned mostThreads) {
    if (count < fewest) return 1;
    return std::min(std::max(1u, std::thread::hardware_concurrency()), mostThreads);
}

// Calls work(slice, begin, end) for slices 0, 1, ... that cover [0, count)
// in order, each on a thread of its own. Fewer than `fewest` items are not
// worth a thread and run as one slice here.
inline void RunInSlices(size_t count, size_t fewest, unsigned mostThreads,
                        const std::function<void(unsigned, size_t, size_t)>& work) {
    unsigned threads = SliceThreads(count, fewest, mostThreads);
    size_t slice = (count + threads - 1) / threads;
    std::vector<std::thread> helpers;
    for (unsigned t = 1; t < threads; ++t) {
        size_t begin = std::min(count, t * slice);
        size_t end = std::min(count, begin + slice);
        helpers.emplace_back(work, t, begin, end);
    }
    work(0, 0, std::min(count, slice));
    for (std::thread& helper : helpers) helper.join();
}
