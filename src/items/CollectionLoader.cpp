#include "items/CollectionLoader.h"

#include <unordered_map>
#include <utility>

#include "base/Strings.h"
#include "base/WinUtil.h"
#include "items/CollectionRules.h"
#include "items/ItemFiles.h"
#include "items/ItemRules.h"
#include "items/LoadCursor.h"
#include "items/ShellImages.h"

namespace {
// A listing split into its paths, for the rules, and each path's stamp, for the cache.
struct Listing {
    std::vector<std::wstring> paths;
    std::unordered_map<std::wstring, FileStamp> stamps;

    explicit Listing(const std::vector<ListedFile>& files)
    {
        paths.reserve(files.size());
        for (const ListedFile& file : files) {
            paths.push_back(file.Path);
            stamps.emplace(file.Path, file.Stamp);
        }
    }
    FileStamp StampOf(const std::wstring& path) const
    {
        const auto found = stamps.find(path);
        return found == stamps.end() ? FileStamp{} : found->second;
    }
};
} // namespace

CollectionLoader::CollectionLoader()
    : m_programFile(ModuleFileName()),
      m_icons(CollectionKind::Icons, kIconsFirstId),
      m_floating(CollectionKind::Floating, kFloatingFirstId),
      m_menus(CollectionKind::Menus, kMenusFirstId),
      m_imageModeProbe(SharesSystemImagesNow),
      m_systemImages(SystemImageList())
{
}

void CollectionLoader::SetDataFolder(const std::wstring& dataFolder)
{
    const std::wstring folder = IncludeTrailingBackslash(dataFolder);
    if (folder != m_dataFolder) ShellImagesChanged();
    m_dataFolder = folder;
}

void CollectionLoader::DropItemCache() noexcept
{
    m_iconsCache.Clear();
    m_floatingCache.Clear();
    m_menusCache.Clear();
}

void CollectionLoader::DropItemCache(CollectionKind kind) noexcept
{
    switch (kind) {
    case CollectionKind::Icons:
        m_iconsCache.Clear();
        // The Icons load keeps the items it has; asked to read again, it must place them afresh.
        m_iconImagesDropped = true;
        break;
    case CollectionKind::Floating: m_floatingCache.Clear(); break;
    case CollectionKind::Menus: m_menusCache.Clear(); break;
    case CollectionKind::None: break;
    }
}

void CollectionLoader::ShellImagesChanged() noexcept
{
    DropItemCache();
    // The copies were made from the shell's images as they were.
    for (Collection* collection : {&m_icons, &m_floating, &m_menus}) collection->ClearImages();
    m_iconImagesDropped = true;
}

void CollectionLoader::ForgetItems(Collection& collection)
{
    constexpr std::size_t kSpareImageCopies = 64;
    if (collection.ImageCopyCount() > collection.Count() + kSpareImageCopies) collection.ClearImages();
    collection.ClearItems();
}

Item* CollectionLoader::FindItemById(std::uint16_t id) noexcept
{
    for (Collection* collection : {&m_icons, &m_floating, &m_menus})
        if (Item* item = collection->ItemById(id)) return item;
    return nullptr;
}

HIMAGELIST CollectionLoader::ImagesFor(const Collection& collection) const noexcept
{
    return m_sharesSystemImages ? m_systemImages : collection.ImageList();
}

// The mode is asked once per load, so every image of one surface comes from the list it points at.
bool CollectionLoader::ProbeImageMode()
{
    if (!m_systemImages) m_systemImages = SystemImageList();
    const bool shares = m_imageModeProbe ? m_imageModeProbe() : false;
    // The mode follows the theme: what was kept was read under the other one.
    if (m_imageModeKnown && shares != m_sharesSystemImages) ShellImagesChanged();
    m_imageModeKnown = true;
    m_sharesSystemImages = shares;
    return m_sharesSystemImages;
}

Item CollectionLoader::ReadListedItem(ItemCache& cache, const std::wstring& file, const FileStamp& stamp,
                                      std::uint16_t id)
{
    if (const Item* known = cache.Find(file, stamp)) {
        Item item = *known;
        item.Id = id;
        return item;
    }
    bool complete = false;
    Item item = ReadItem(file, id, ShellIconIndex(file, false), &complete);
    // A file the shell could not place, one that could not be read (locked for a moment) and one
    // written too recently for its stamp to show a further change are all read again next time.
    if (item.ImageIndex >= 0 && complete && StampSettled(stamp, SystemTimeNow())) cache.Store(file, stamp, item);
    return item;
}

Item CollectionLoader::ListedItem(Collection& collection, ItemCache& cache, const std::wstring& file,
                                  const FileStamp& stamp, std::uint16_t id, ReadTier tier)
{
    if (!m_readQueue || m_neutralIndex < 0 || cache.Find(file, stamp)) return ReadListedItem(cache, file, stamp, id);
    Item item;
    item.Caption = ItemCaption(file);
    item.Hint = item.Caption;
    item.Id = id;
    item.FileName = file;
    item.ImageIndex = m_neutralIndex;
    const CollectionKind kind = collection.Kind();
    m_newReads.push_back({kind, m_generations[static_cast<std::size_t>(kind)], id, tier, file, stamp});
    return item;
}

void CollectionLoader::QueueReads()
{
    if (m_readQueue) m_readQueue->Push(std::exchange(m_newReads, {}));
}

void CollectionLoader::NewGeneration(Collection& collection)
{
    const CollectionKind kind = collection.Kind();
    const std::uint32_t generation = ++m_generations[static_cast<std::size_t>(kind)];
    std::erase_if(m_newReads, [kind](const ItemReadRequest& request) { return request.Kind == kind; });
    if (m_readQueue) m_readQueue->NewGeneration(kind, generation);
}

Collection* CollectionLoader::CollectionOf(CollectionKind kind) noexcept
{
    switch (kind) {
    case CollectionKind::Icons: return &m_icons;
    case CollectionKind::Floating: return &m_floating;
    case CollectionKind::Menus: return &m_menus;
    case CollectionKind::None: break;
    }
    return nullptr;
}

ItemCache* CollectionLoader::CacheOf(CollectionKind kind) noexcept
{
    switch (kind) {
    case CollectionKind::Icons: return &m_iconsCache;
    case CollectionKind::Floating: return &m_floatingCache;
    case CollectionKind::Menus: return &m_menusCache;
    case CollectionKind::None: break;
    }
    return nullptr;
}

bool CollectionLoader::ReadInBackground(std::function<void()> resultsReady, std::function<void()> hotKeysRead)
{
    auto queue = std::make_shared<ItemReadQueue>();
    for (CollectionKind kind : {CollectionKind::Icons, CollectionKind::Floating, CollectionKind::Menus})
        queue->NewGeneration(kind, m_generations[static_cast<std::size_t>(kind)]);
    auto reader = std::make_unique<ItemReader>(queue, resultsReady);
    if (!reader->Running()) return false;
    m_neutralIndex = NeutralDocumentIconIndex();
    m_readQueue = std::move(queue);
    m_reader = std::move(reader);
    m_resultsReady = std::move(resultsReady);
    m_hotKeysRead = std::move(hotKeysRead);
    return true;
}

bool CollectionLoader::ReadsPending() const { return m_readQueue && !m_readQueue->Idle(); }

void CollectionLoader::EndLoadRun()
{
    if (--m_loadDepth > 0 || !std::exchange(m_applyWanted, false)) return;
    if (m_resultsReady) m_resultsReady();
}

void CollectionLoader::ApplyReadResults()
{
    if (!m_readQueue) return;
    // A message dispatched inside a load brought the notice: the load's end asks again.
    if (Loading()) {
        m_applyWanted = true;
        return;
    }
    const LoadRun run(*this);
    // A batch small enough that a click waiting behind it is not held up.
    constexpr std::size_t kBatch = 48;
    for (const ItemReadResult& result : m_readQueue->TakeResults(kBatch)) ApplyReadResult(result);
    if (m_readQueue->Idle()) {
        if (std::exchange(m_hotKeysArrived, false) && m_hotKeysRead) m_hotKeysRead();
    } else if (m_readQueue->ResultsWaiting()) {
        m_applyWanted = true;
    }
}

void CollectionLoader::ApplyReadResult(const ItemReadResult& result)
{
    Collection* collection = CollectionOf(result.Kind);
    if (!collection || !m_readQueue->IsCurrent(result.Kind, result.Generation)) return;
    Item* slot = collection->ItemById(result.Read.Id);
    if (!slot || slot->Kind == CollectionKind::None || slot->FileName != result.Path) return;

    const std::int32_t systemIndex = result.Read.ImageIndex;
    if (systemIndex >= 0 && result.Complete && StampSettled(result.Stamp, SystemTimeNow()))
        if (ItemCache* cache = CacheOf(result.Kind)) cache->Store(result.Path, result.Stamp, result.Read);
    // What could not be read or placed keeps the neutral image.
    Item item = *slot;
    item.Hint = result.Read.Hint;
    item.HotKeyKey = result.Read.HotKeyKey;
    item.HotKeyModifiers = result.Read.HotKeyModifiers;
    if (systemIndex >= 0) {
        const std::int32_t shown =
            m_sharesSystemImages ? systemIndex : collection->ImageCopyOf(m_systemImages, systemIndex);
        if (shown >= 0) item.ImageIndex = shown;
    }
    *slot = item;
    if (m_hotKeys && item.HotKeyKey != 0) {
        m_hotKeys->RegisterItemHotKey(item, collection->HotKeyTexts());
        m_hotKeysArrived = true;
    }
    // The surfaces get a copy: a tray icon's update dispatches sent messages.
    switch (result.Kind) {
    case CollectionKind::Icons:
        if (m_iconsSurface) m_iconsSurface->UpdateIconItem(item);
        break;
    case CollectionKind::Floating:
        if (m_floatingSurface) m_floatingSurface->UpdateFloatingItem(item);
        break;
    case CollectionKind::Menus:
        if (m_menusSurface) m_menusSurface->UpdateMenuFile(item, systemIndex >= 0 ? systemIndex : m_neutralIndex);
        break;
    case CollectionKind::None: break;
    }
}

bool CollectionLoader::PlaceImage(Item& item, Collection& collection) const
{
    if (m_sharesSystemImages) return true;
    if (item.ImageIndex < 0) return false;
    item.ImageIndex = collection.ImageCopyOf(m_systemImages, item.ImageIndex);
    return true;
}

void CollectionLoader::UnregisterHotKeys(Collection& collection)
{
    if (!m_hotKeys) return;
    // Items that were never placed never registered; their Id may belong to another collection's item.
    for (Item& item : collection.Items())
        if (item.Kind != CollectionKind::None) m_hotKeys->UnregisterItemHotKey(item);
}

void CollectionLoader::DiscardIcons()
{
    NewGeneration(m_icons);
    if (m_iconsSurface) m_iconsSurface->RemoveIconItems(m_icons.Items());
    m_icons.ClearLoadedIconFiles();
    UnregisterHotKeys(m_icons);
    ForgetItems(m_icons);
}

void CollectionLoader::DiscardFloating()
{
    NewGeneration(m_floating);
    if (m_floatingSurface) m_floatingSurface->RemoveFloatingItems(m_floating.Items());
    UnregisterHotKeys(m_floating);
    ForgetItems(m_floating);
}

void CollectionLoader::DiscardMenus()
{
    NewGeneration(m_menus);
    UnregisterHotKeys(m_menus);
    if (m_menusSurface) m_menusSurface->RemoveMenuItems(m_menus.Items());
    ForgetItems(m_menus);
}

void CollectionLoader::ClearCollections()
{
    m_icons.HotKeyTexts().clear();
    m_floating.HotKeyTexts().clear();
    m_menus.HotKeyTexts().clear();
    DiscardIcons();
    DiscardFloating();
    DiscardMenus();
    for (Collection* collection : {&m_icons, &m_floating, &m_menus}) collection->ClearImages();
}

void CollectionLoader::LoadIcons()
{
    const LoadRun run(*this);
    HourglassCursor hourglass;
    m_icons.HotKeyTexts().clear();
    ProbeImageMode();
    const bool imagesDropped = std::exchange(m_iconImagesDropped, false);
    if (m_iconsSurface) m_iconsSurface->BeginIconsLoad(ImagesFor(m_icons));

    const std::wstring folder = m_dataFolder + kIconsFolderName;
    if (!DirectoryExists(folder)) {
        // A missing folder leaves the collection empty.
        DiscardIcons();
        m_iconsCache.Clear();
    } else {
        const Listing listing(ListCollectionEntries(folder));
        const std::vector<std::wstring>& listed = listing.paths;
        if (imagesDropped || IconFolderLostFiles(listed, m_icons.LoadedIconFiles(), FoldPathCase)) {
            DiscardIcons();
        } else if (m_hotKeys) {
            for (const Item& item : m_icons.Items())
                if (item.Kind != CollectionKind::None) m_hotKeys->AppendItemHotKeyText(item, m_icons.HotKeyTexts());
        }

        const std::vector<std::wstring> newFiles = NewFiles(listed, m_icons.LoadedIconFileSet());
        for (const std::wstring& file : PlacementOrderByKey(newFiles, PathSortKeyNoCase)) {
            std::uint16_t id = 0;
            if (!ItemIdFor(m_icons.FirstId(), m_icons.Count(), id)) break;
            if (!FileExists(file)) continue;
            // The surface gets the loader's own copy: adding a tray icon dispatches sent messages,
            // so no reference into the collection may be held across it.
            Item item = ListedItem(m_icons, m_iconsCache, file, listing.StampOf(file), id, ReadTier::Icons);
            const bool placed = PlaceImage(item, m_icons);
            if (placed) item.Kind = CollectionKind::Icons;
            m_icons.Items().push_back(item);
            if (!placed) continue;
            if (m_hotKeys) m_hotKeys->RegisterItemHotKey(item, m_icons.HotKeyTexts());
            if (m_iconsSurface) m_iconsSurface->AddIconItem(item);
        }
        for (const std::wstring& file : newFiles) m_icons.AddLoadedIconFile(file);
        m_iconsCache.Retain(listed);
        QueueReads();
    }
    if (m_iconsSurface) m_iconsSurface->EndIconsLoad();
}

void CollectionLoader::LoadFloating()
{
    const LoadRun run(*this);
    HourglassCursor hourglass;
    m_floating.HotKeyTexts().clear();
    if (m_collectionsReady) m_collectionsReady(false);
    // Whatever the load throws, the surfaces answer again afterwards: a flag left down would leave
    // every tray icon deaf for the rest of the session.
    struct ReadyAgain {
        const std::function<void(bool)>& handler;
        ~ReadyAgain()
        {
            if (handler) handler(true);
        }
    } readyAgain{m_collectionsReady};
    ProbeImageMode();
    if (m_floatingSurface) m_floatingSurface->BeginFloatingLoad(ImagesFor(m_floating));

    DiscardFloating();
    std::size_t placed = 0;
    const std::wstring folder = m_dataFolder + kFloatingFolderName;
    if (!DirectoryExists(folder)) {
        m_floatingCache.Clear();
    } else {
        const Listing listing(ListCollectionEntries(folder));
        if (m_floatingSurface) m_floatingSurface->SetFloatingFileCount(listing.paths.size());
        for (const std::wstring& file : PlacementOrderByKey(listing.paths, PathSortKeyNoCase)) {
            std::uint16_t id = 0;
            if (!ItemIdFor(m_floating.FirstId(), m_floating.Count(), id)) break;
            if (!FileExists(file)) continue;
            Item item = ListedItem(m_floating, m_floatingCache, file, listing.StampOf(file), id, ReadTier::FirstSight);
            const bool imaged = PlaceImage(item, m_floating);
            if (imaged) item.Kind = CollectionKind::Floating;
            m_floating.Items().push_back(item);
            if (!imaged) continue;
            ++placed;
            if (m_hotKeys) m_hotKeys->RegisterItemHotKey(item, m_floating.HotKeyTexts());
            if (m_floatingSurface) m_floatingSurface->AddFloatingItem(item);
        }
        m_floatingCache.Retain(listing.paths);
        QueueReads();
    }
    if (m_floatingSurface) m_floatingSurface->EndFloatingLoad(placed);
}
