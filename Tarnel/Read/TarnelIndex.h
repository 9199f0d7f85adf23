#ifndef TARNEL_INDEX_H
#define TARNEL_INDEX_H

#include <cstddef>
#include <utility>
#include <vector>

namespace Tarnel
{
    /** An index of entries by a key each entry carries, for the scene's tables of
        tens of thousands of nodes and objects. The slots are one array, searched
        from the key's hash onwards, so a look-up touches one place in memory
        instead of a chain of entries each allocated apart, and an insert allocates
        nothing until the index grows. Entries are never removed one by one.

        `KeyOf` gives an entry's key (for a node, its name in the engine, so the
        index holds no copy of it); `Hash` hashes a key. A slot holds the hash and
        the entry; a hash of zero marks it empty. */
    template <class Entry, class KeyOf, class Hash>
    class Index
    {
    public:
        /// Makes room for `count` entries in all without growing.
        void Reserve(size_t count)
        {
            if (count * 2 > slots.size())
                Rehash(Capacity(count * 2));
        }

        /// The entry of the key, or null.
        template <class Key> const Entry* Find(const Key& key) const
        {
            if (slots.empty())
                return nullptr;
            const size_t hash = HashOf(key);
            for (size_t i = hash & (slots.size() - 1);; i = (i + 1) & (slots.size() - 1))
            {
                if (slots[i].hash == 0)
                    return nullptr;
                if (slots[i].hash == hash && KeyOf()(slots[i].entry) == key)
                    return &slots[i].entry;
            }
        }

        /** Enters the entry unless one of its key is there. Returns the entry of
            that key, and whether it is the new one. */
        std::pair<Entry*, bool> Insert(Entry entry)
        {
            if ((count + 1) * 2 > slots.size())
                Rehash(Capacity((count + 1) * 2));
            const size_t hash = HashOf(KeyOf()(entry));
            size_t i = hash & (slots.size() - 1);
            for (; slots[i].hash != 0; i = (i + 1) & (slots.size() - 1))
            {
                if (slots[i].hash == hash && KeyOf()(slots[i].entry) == KeyOf()(entry))
                    return {&slots[i].entry, false};
            }
            slots[i].hash = hash;
            slots[i].entry = std::move(entry);
            ++count;
            return {&slots[i].entry, true};
        }

        void Clear()
        {
            slots.clear();
            slots.shrink_to_fit();
            count = 0;
        }

        size_t Size() const { return count; }

    private:
        struct Slot
        {
            size_t hash = 0;
            Entry entry{};
        };

        template <class Key> static size_t HashOf(const Key& key)
        {
            size_t hash = Hash()(key);
            return hash == 0 ? 1 : hash;
        }

        static size_t Capacity(size_t wanted)
        {
            size_t capacity = 16;
            while (capacity < wanted)
                capacity *= 2;
            return capacity;
        }

        void Rehash(size_t capacity)
        {
            std::vector<Slot> old(capacity);
            old.swap(slots);
            for (Slot& slot : old)
            {
                if (slot.hash == 0)
                    continue;
                size_t i = slot.hash & (slots.size() - 1);
                while (slots[i].hash != 0)
                    i = (i + 1) & (slots.size() - 1);
                slots[i] = std::move(slot);
            }
        }

        std::vector<Slot> slots;
        size_t count = 0;
    };
}

#endif
