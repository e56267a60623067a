#pragma once

#include <QStringView>

#include <functional>
#include <vector>

namespace vellumo {

// Positions by key, for keys that are kept elsewhere (keyAt gives the key at
// a position). Each key's hash lies beside its position, so that a lookup
// reads a key's characters only when the hashes agree: with tens of
// thousands of keys spread over the heap, comparing the key at every probe,
// as QHash does, costs a cache miss each.
class KeyIndex {
public:
    using KeyAt = std::function<QStringView(qsizetype)>;
    explicit KeyIndex(KeyAt keyAt);

    // The position of key, or -1.
    qsizetype find(QStringView key) const;
    // Adds key at position; false, and nothing added, when the key is there already.
    bool insert(QStringView key, qsizetype position);
    // Room for count keys in all, without growing on the way.
    void reserve(qsizetype count);
    void clear();
    qsizetype size() const { return used_; }

private:
    struct Slot {
        size_t hash = 0;
        qsizetype position = -1; // -1: free
    };
    // The slot of key, or the free slot where it would go.
    size_t slotOf(QStringView key, size_t hash) const;
    size_t hashOf(QStringView key) const;

    KeyAt keyAt_;
    std::vector<Slot> slots_; // a power of two in size, at most half in use
    qsizetype used_ = 0;
    size_t seed_;
};

} // namespace vellumo
