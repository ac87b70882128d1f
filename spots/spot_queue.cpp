#include "spots/spot_queue.h"

void SpotQueue::Append(std::string_view text) { text_.append(text); }

std::size_t SpotQueue::Find(std::string_view lineEnd) const { return View().find(lineEnd); }

std::string SpotQueue::TakeFront(std::size_t count, std::size_t skip) {
    std::string taken(View().substr(0, count));
    front_ += std::min(Size(), count + skip);
    // Drop the taken text once it outweighs what waits, so memory follows the backlog while each
    // take stays cheap on average.
    if (front_ > text_.size() / 2) {
        text_.erase(0, front_);
        front_ = 0;
    }
    return taken;
}
