#include "catalogue/key_index.h"

#include <QHashFunctions>

#include <algorithm>
#include <bit>

namespace vellumo {

KeyIndex::KeyIndex(KeyAt keyAt)
    : keyAt_(std::move(keyAt))
    , seed_(QHashSeed::globalSeed())
{
}

size_t KeyIndex::hashOf(QStringView key) const
{
    return qHash(key, seed_);
}

size_t KeyIndex::slotOf(QStringView key, size_t hash) const
{
    const size_t mask = slots_.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot &slot = slots_[i];
        if (slot.position < 0 || (slot.hash == hash && keyAt_(slot.position) == key))
            return i;
    }
}

qsizetype KeyIndex::find(QStringView key) const
{
    if (slots_.empty())
        return -1;
    return slots_[slotOf(key, hashOf(key))].position;
}

bool KeyIndex::insert(QStringView key, qsizetype position)
{
    reserve(used_ + 1);
    const size_t hash = hashOf(key);
    Slot &slot = slots_[slotOf(key, hash)];
    if (slot.position >= 0)
        return false;
    slot = Slot{hash, position};
    ++used_;
    return true;
}

void KeyIndex::reserve(qsizetype count)
{
    if (size_t(count) * 2 <= slots_.size())
        return;
    std::vector<Slot> old(std::bit_ceil(std::max<size_t>(64, size_t(count) * 2)));
    old.swap(slots_);
    const size_t mask = slots_.size() - 1;
    for (const Slot &slot : old) {
        if (slot.position < 0)
            continue;
        size_t i = slot.hash & mask;
        while (slots_[i].position >= 0)
            i = (i + 1) & mask;
        slots_[i] = slot;
    }
}

void KeyIndex::clear()
{
    slots_.clear();
    used_ = 0;
}

} // namespace vellumo
