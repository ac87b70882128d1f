// The memory the intake holds while 1,000,000 spot lines wait in it (the host link down, or the
// host far ahead of one line a tick), against the floor: the text itself, one byte a character.
// Measured natively on SpotQueue, as the window keeps it in SpotBuffer: heap bytes in use (glibc
// mallinfo2) and the process's resident set, before and after.
//   queue_memory [LINES]
#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "bench/spot_samples.h"
#include "spots/spot_queue.h"
#include "spots/take_line.h"

namespace {

std::size_t HeapInUse() {
    return mallinfo2().uordblks;
}

std::size_t ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    std::size_t size = 0, resident = 0;
    statm >> size >> resident;
    return resident * 4096;
}

}  // namespace

int main(int argc, char** argv) {
    const long lines = argc > 1 ? std::atol(argv[1]) : 1000000;
    const std::string lineEnd = "\r\n";
    const std::size_t heapBefore = HeapInUse(), residentBefore = ResidentBytes();
    std::size_t textBytes = 0;
    {
        SpotQueue queue;
        for (long i = 0; i < lines; ++i) {
            const std::string line = bench::SpotSample(static_cast<std::size_t>(i)) + lineEnd;
            spots::ReceiveText(queue, line, lineEnd);
            textBytes += line.size();
        }
        const std::size_t heap = HeapInUse() - heapBefore;
        const std::size_t resident = ResidentBytes() - residentBefore;
        std::printf("lines %ld\ntext_bytes %zu\nqueue_bytes %zu\nqueue_capacity %zu\n", lines,
                    textBytes, queue.Size(), queue.Capacity());
        std::printf("heap_bytes %zu\nresident_bytes %zu\n", heap, resident);
        std::printf("heap_per_text %.4f\n",
                    static_cast<double>(heap) / static_cast<double>(textBytes));
    }
    return 0;
}
