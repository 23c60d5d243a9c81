#include "bsp/search/search_cache.h"

#include <limits>
#include <stdexcept>

namespace tarvel {

int32_t SearchCache::Add(const SearchMemo& memo) {
    if (size_ == std::numeric_limits<int32_t>::max()) {
        throw std::length_error("too many polygons for one build");
    }
    const int32_t key = size_++;
    const Slot slot = SlotOf(key);
    std::vector<SearchMemo>& entries = segments_[slot.segment];
    if (entries.empty()) {
        // Sized once: its entries never move.
        entries.resize(std::size_t{1} << (slot.segment + kFirstBits));
    }
    entries[slot.offset] = memo;
    return key;
}

void SearchCache::Enter(std::vector<Poly>& polys) {
    for (Poly& poly : polys) {
        poly.memoKey = Add(SearchMemo{});
    }
}

void SearchCache::EnterPiece(Poly& piece, const Poly& source) {
    piece.memoKey = Add(SearchMemo{.spatialRank = (*this)[source].spatialRank});
}

}  // namespace tarvel
