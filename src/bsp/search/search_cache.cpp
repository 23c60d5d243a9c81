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
    std::unique_ptr<SearchMemo[]>& entries = segments_[slot.segment];
    if (!entries) {
        // Left unwritten: the entries are written as they are added.
        entries = std::make_unique_for_overwrite<SearchMemo[]>(std::size_t{1}
                                                               << (slot.segment + kFirstBits));
    }
    entries[slot.offset] = memo;
    return key;
}

void SearchCache::Enter(std::vector<Poly>& polys) {
    for (Poly& poly : polys) {
        poly.memoKey = Add(SearchMemo::Fresh());
    }
}

void SearchCache::Enter(std::vector<Poly>& polys, const std::vector<SearchMemo>& handedOver) {
    assert(handedOver.size() == polys.size());
    for (std::size_t k = 0; k < polys.size(); ++k) {
        polys[k].memoKey = Add(handedOver[k]);
    }
}

std::vector<SearchMemo> SearchCache::HandOver(const std::vector<Poly>& polys) const {
    std::vector<SearchMemo> memos;
    memos.reserve(polys.size());
    for (const Poly& poly : polys) {
        SearchMemo memo = (*this)[poly];
        // The rank alone still finds the polygon it cut, by a side test.
        memo.crossedKey = -1;
        memos.push_back(memo);
    }
    return memos;
}

void SearchCache::EnterPiece(Poly& piece, const Poly& source) {
    SearchMemo memo = SearchMemo::Fresh();
    memo.spatialRank = (*this)[source].spatialRank;
    piece.memoKey = Add(memo);
}

}  // namespace tarvel
