#pragma once
// Reading entry files off the user-interface thread. A load places every entry at once with its
// caption and a neutral image and asks for the rest (the shell's image, and the hint and hotkey
// inside the file) here; a worker thread reads the files in the order the user sees them and hands
// the results back in batches. The worker touches no window, image list or collection: it reads a
// path and returns what it found, tagged with the collection and the load it was asked for, so a
// result that arrives after its load was replaced is recognised and dropped.

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <queue>
#include <string>
#include <vector>

#include "items/Item.h"
#include "items/ItemCache.h"

// What order the reads come in: the Icons first, then the floating window and the top of the
// popup menu, then the submenus.
enum class ReadTier : std::uint8_t { Icons = 0, FirstSight = 1, Later = 2 };

struct ItemReadRequest {
    CollectionKind Kind = CollectionKind::None;
    std::uint32_t Generation = 0;  // the collection's load the entry belongs to
    std::uint16_t Id = 0;          // the entry's place in that load
    ReadTier Tier = ReadTier::Later;
    std::wstring Path;
    FileStamp Stamp;
    std::uint64_t Ticket = 0;      // the place in the reading order, given when a reader takes it
};

struct ItemReadResult {
    CollectionKind Kind = CollectionKind::None;
    std::uint32_t Generation = 0;
    std::wstring Path;
    FileStamp Stamp;
    Item Read;              // its Id is the request's              // caption, hint and hotkey from the file; ImageIndex is the system index or -1
    bool Complete = false;  // the file could be read (ReadItem's `complete`)
    std::uint64_t Ticket = 0;
};

// The hand-off between the loads (user-interface thread) and the worker. Every member is safe to
// call from either thread.
class ItemReadQueue {
public:
    // Queues requests; within a tier, in the order given.
    void Push(std::vector<ItemReadRequest> requests);
    // A collection's items were replaced: requests and results of its earlier loads are dropped,
    // the pending ones at once, one being read when it comes back.
    void NewGeneration(CollectionKind kind, std::uint32_t generation);
    bool IsCurrent(CollectionKind kind, std::uint32_t generation) const;

    // Worker side. The next current request, waiting for one; empty once stopped.
    std::optional<ItemReadRequest> Wait();
    // Hands a result over; true when results are waiting now and were not before, so the reader of
    // the results has to be told (one notice per batch). Several readers may finish out of order:
    // results wait until those taken before them are in, so they come out in the order one reader
    // would give (and the first of two entries with the same hotkey keeps it). A stale result is
    // dropped.
    bool Deliver(ItemReadResult result);

    // User-interface side: up to `limit` results, oldest first; stale ones are left out.
    std::vector<ItemReadResult> TakeResults(std::size_t limit);
    bool ResultsWaiting() const;
    // Nothing is queued, being read or waiting to be taken.
    bool Idle() const;

    void Stop();

private:
    struct Queued {
        ItemReadRequest request;
        std::uint64_t sequence = 0;
        bool operator<(const Queued& other) const
        {
            // std::priority_queue puts the greatest first: the lowest tier, then the oldest.
            if (request.Tier != other.request.Tier) return request.Tier > other.request.Tier;
            return sequence > other.sequence;
        }
    };
    std::optional<ItemReadRequest> PopCurrentLocked();
    bool IsCurrentLocked(CollectionKind kind, std::uint32_t generation) const;

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::priority_queue<Queued> m_requests;
    std::vector<ItemReadResult> m_results;
    std::map<std::uint64_t, std::optional<ItemReadResult>> m_finished;  // by ticket, waiting for earlier ones
    std::uint64_t m_nextTicket = 0;  // the next request taken gets it
    std::uint64_t m_dueTicket = 0;   // the next result to come out
    std::uint32_t m_generations[4] = {};
    std::uint64_t m_sequence = 0;
    std::size_t m_reading = 0;
    bool m_stopped = false;
};

// A result for the request, nothing read yet: what a failed read hands back.
ItemReadResult ResultFor(const ItemReadRequest& request);

// What the worker does with a request (COM initialised on the calling thread): the file read
// with ReadItem and its image asked of the shell.
ItemReadResult ReadRequestedItem(const ItemReadRequest& request);

// The worker threads: two where the machine has more than one processor, so the shell's lookups,
// which mostly wait on the disk and on the shell's own locks, overlap. `resultsReady` runs on a
// worker when a batch begins (a PostMessage to the main window); it must not block.
class ItemReader {
public:
    ItemReader(std::shared_ptr<ItemReadQueue> queue, std::function<void()> resultsReady);
    ~ItemReader();
    ItemReader(const ItemReader&) = delete;
    ItemReader& operator=(const ItemReader&) = delete;
    // False when no thread could be started (the loads then read on their own thread).
    bool Running() const noexcept { return m_running; }

private:
    std::shared_ptr<ItemReadQueue> m_queue;
    bool m_running = false;
};
