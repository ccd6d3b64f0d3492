#include "items/ItemReads.h"

#include <windows.h>

#include <algorithm>
#include <system_error>
#include <thread>
#include <utility>

#include "items/ItemFiles.h"
#include "items/ShellImages.h"

namespace {
std::size_t KindSlot(CollectionKind kind) noexcept { return static_cast<std::size_t>(kind) & 3u; }
} // namespace

void ItemReadQueue::Push(std::vector<ItemReadRequest> requests)
{
    if (requests.empty()) return;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        for (ItemReadRequest& request : requests) m_requests.push({std::move(request), m_sequence++});
    }
    m_wake.notify_one();
}

void ItemReadQueue::NewGeneration(CollectionKind kind, std::uint32_t generation)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_generations[KindSlot(kind)] = generation;
    std::erase_if(m_results, [&](const ItemReadResult& result) { return !IsCurrentLocked(result.Kind, result.Generation); });
}

bool ItemReadQueue::IsCurrentLocked(CollectionKind kind, std::uint32_t generation) const
{
    return m_generations[KindSlot(kind)] == generation;
}

bool ItemReadQueue::IsCurrent(CollectionKind kind, std::uint32_t generation) const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return IsCurrentLocked(kind, generation);
}

std::optional<ItemReadRequest> ItemReadQueue::PopCurrentLocked()
{
    while (!m_requests.empty()) {
        ItemReadRequest request = m_requests.top().request;
        m_requests.pop();
        if (!IsCurrentLocked(request.Kind, request.Generation)) continue;
        ++m_reading;
        request.Ticket = m_nextTicket++;
        return request;
    }
    return std::nullopt;
}

std::optional<ItemReadRequest> ItemReadQueue::Wait()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        if (m_stopped) return std::nullopt;
        if (std::optional<ItemReadRequest> request = PopCurrentLocked()) return request;
        m_wake.wait(lock);
    }
}

bool ItemReadQueue::Deliver(ItemReadResult result)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (m_reading > 0) --m_reading;
    const bool waiting = !m_results.empty();
    const std::uint64_t ticket = result.Ticket;
    m_finished[ticket] = std::move(result);
    for (auto due = m_finished.find(m_dueTicket); due != m_finished.end(); due = m_finished.find(++m_dueTicket)) {
        if (due->second && IsCurrentLocked(due->second->Kind, due->second->Generation))
            m_results.push_back(std::move(*due->second));
        m_finished.erase(due);
    }
    return !waiting && !m_results.empty();
}

std::vector<ItemReadResult> ItemReadQueue::TakeResults(std::size_t limit)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<ItemReadResult> taken;
    const std::size_t count = std::min(limit, m_results.size());
    taken.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        if (IsCurrentLocked(m_results[i].Kind, m_results[i].Generation)) taken.push_back(std::move(m_results[i]));
    m_results.erase(m_results.begin(), m_results.begin() + static_cast<std::ptrdiff_t>(count));
    return taken;
}

bool ItemReadQueue::ResultsWaiting() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return !m_results.empty();
}

bool ItemReadQueue::Idle() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_reading == 0 && m_results.empty() && m_requests.empty() && m_finished.empty();
}

void ItemReadQueue::Stop()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_stopped = true;
    }
    m_wake.notify_all();
}

ItemReadResult ResultFor(const ItemReadRequest& request)
{
    ItemReadResult result;
    result.Kind = request.Kind;
    result.Generation = request.Generation;
    result.Path = request.Path;
    result.Stamp = request.Stamp;
    result.Ticket = request.Ticket;
    result.Read.Id = request.Id;
    return result;
}

ItemReadResult ReadRequestedItem(const ItemReadRequest& request)
{
    ItemReadResult result = ResultFor(request);
    result.Read = ReadItem(request.Path, request.Id, ShellIconIndex(request.Path, false), &result.Complete);
    return result;
}

ItemReader::ItemReader(std::shared_ptr<ItemReadQueue> queue, std::function<void()> resultsReady)
    : m_queue(std::move(queue))
{
    SYSTEM_INFO system{};
    ::GetNativeSystemInfo(&system);
    const int threads = system.dwNumberOfProcessors > 1 ? 2 : 1;
    for (int i = 0; i < threads; ++i) try {
        // A thread owns what it uses, so the program may end (and this object go) while a slow
        // file is still being read: nothing waits for the thread, which ends at its next request.
        std::thread([queue = m_queue, resultsReady] {
            const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
            ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
            while (std::optional<ItemReadRequest> request = queue->Wait()) {
                ItemReadResult result;
                try {
                    result = ReadRequestedItem(*request);
                } catch (...) {
                    // What could not be read keeps its neutral image and is read again next time.
                    result = ResultFor(*request);
                }
                if (queue->Deliver(std::move(result)) && resultsReady) resultsReady();
            }
            if (SUCCEEDED(com)) ::CoUninitialize();
        }).detach();
        m_running = true;
    } catch (const std::system_error&) {
        break;
    }
}

ItemReader::~ItemReader() { m_queue->Stop(); }
