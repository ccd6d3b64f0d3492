#pragma once
// Loading the three collections and placing their items on the surfaces. Owned by the main window; runs
// on the user-interface thread (COM initialised there).

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "items/Collection.h"
#include "items/ItemCache.h"
#include "items/ItemReads.h"
#include "items/ItemSurfaces.h"

class CollectionLoader {
public:
    CollectionLoader();
    CollectionLoader(const CollectionLoader&) = delete;
    CollectionLoader& operator=(const CollectionLoader&) = delete;

    // The data folder, with its trailing backslash (EnsureCollectionFolders has made it). Another
    // folder drops what the loads kept of the old one's files.
    void SetDataFolder(const std::wstring& dataFolder);
    const std::wstring& DataFolder() const noexcept { return m_dataFolder; }

    // Surfaces may be attached (and detached with nullptr) at any time between loads.
    void AttachIconsSurface(IconsSurface* surface) noexcept { m_iconsSurface = surface; }
    void AttachFloatingSurface(FloatingSurface* surface) noexcept { m_floatingSurface = surface; }
    void AttachMenusSurface(MenusSurface* surface) noexcept { m_menusSurface = surface; }
    void AttachHotKeyRegistrar(ItemHotKeyRegistrar* registrar) noexcept { m_hotKeys = registrar; }
    // Called with false when LoadFloating starts and true when it ends (the main window's CollectionsReady).
    void SetCollectionsReadyHandler(std::function<void(bool)> handler) { m_collectionsReady = std::move(handler); }
    // The image mode, asked at the start of every load; SharesSystemImagesNow unless replaced.
    void SetImageModeProbe(std::function<bool()> probe) { m_imageModeProbe = std::move(probe); }
    // The file whose icon the menu tree's root node shows; the program file unless replaced.
    void SetProgramFile(const std::wstring& programFile) { m_programFile = programFile; }

    // From now on the loads place an entry not read before with its caption and a neutral image and
    // leave the reading to a worker thread; `resultsReady` (called on the worker, must not block)
    // asks for ApplyReadResults on this thread. `hotKeysRead` runs when the reads under way are all
    // in and brought at least one hotkey. False (and the loads go on reading by themselves) when
    // the worker could not be started.
    bool ReadInBackground(std::function<void()> resultsReady, std::function<void()> hotKeysRead);
    // Puts a batch of what the worker read on the surfaces, in place; asks for the next batch while
    // more are waiting. Results of a load that was replaced meanwhile are dropped.
    void ApplyReadResults();
    // Entries are still waiting for their files to be read.
    bool ReadsPending() const;

    // "Icons": only appends when files were added since the last load, else rebuilds.
    void LoadIcons();
    // "Floating": always a full rebuild.
    void LoadFloating();
    // "Menus", recursively: always a full rebuild.
    void LoadMenus();
    // Takes every item off its surfaces and unregisters its hotkey, and empties the three collections
    // (a change of the data folder, and shutdown while the surfaces still exist).
    void ClearCollections();
    // Forgets what the loads kept of every file, so the next loads ask the shell and read every file
    // again.
    void DropItemCache() noexcept;
    // The same for one collection (its "Re&load" command): its next load reads every file again.
    void DropItemCache(CollectionKind kind) noexcept;
    // The shell's images may have changed (the theme did): besides what was read, every copied image
    // is forgotten, and the next Icons load places all its items afresh. A change of the image mode or
    // of the data folder does the same by itself.
    void ShellImagesChanged() noexcept;

    // A load is under way (also while a message dispatched inside it is handled).
    bool Loading() const noexcept { return m_loadDepth > 0; }

    Collection& Icons() noexcept { return m_icons; }
    Collection& Floating() noexcept { return m_floating; }
    Collection& Menus() noexcept { return m_menus; }
    const Collection& Icons() const noexcept { return m_icons; }
    const Collection& Floating() const noexcept { return m_floating; }
    const Collection& Menus() const noexcept { return m_menus; }
    // The item with this Id, searched in Icons, then Floating, then Menus (ranges overlap past 100 items).
    Item* FindItemById(std::uint16_t id) noexcept;

    // The image mode of the last load, and the image list a collection's surfaces draw from under it.
    bool SharesSystemImages() const noexcept { return m_sharesSystemImages; }
    HIMAGELIST ImagesFor(const Collection& collection) const noexcept;
    HIMAGELIST SystemImages() const noexcept { return m_systemImages; }
    // The data folder's icons in the system image list, as every "Menus" folder shows them.
    std::int32_t FolderIconIndex() const noexcept { return m_folderIconIndex; }
    std::int32_t FolderOpenIconIndex() const noexcept { return m_folderOpenIconIndex; }

private:
    // Counts the loads under way, so a rebuild asked for meanwhile (by a message dispatched inside
    // one) can wait for them.
    struct LoadRun {
        CollectionLoader& loader;
        explicit LoadRun(CollectionLoader& owner) noexcept : loader(owner) { ++loader.m_loadDepth; }
        ~LoadRun() { loader.EndLoadRun(); }
        LoadRun(const LoadRun&) = delete;
        LoadRun& operator=(const LoadRun&) = delete;
    };

    void EndLoadRun();
    bool ProbeImageMode();
    // The item of a listed file: what an earlier load read from it while it is unchanged; else, when
    // a worker reads, its caption and the neutral image, and a request for the rest; else read now.
    Item ListedItem(Collection& collection, ItemCache& cache, const std::wstring& file, const FileStamp& stamp,
                    std::uint16_t id, ReadTier tier);
    // Hands the requests of a load to the worker.
    void QueueReads();
    // A collection's items are about to be replaced: reads asked for by its earlier loads are dropped.
    void NewGeneration(Collection& collection);
    void ApplyReadResult(const ItemReadResult& result);
    Collection* CollectionOf(CollectionKind kind) noexcept;
    ItemCache* CacheOf(CollectionKind kind) noexcept;
    // The item of a listed file: what an earlier load read from it while it is unchanged, else read
    // afresh (and kept unless the shell had no image for it).
    Item ReadListedItem(ItemCache& cache, const std::wstring& file, const FileStamp& stamp, std::uint16_t id);
    // Copies the item's image into the collection's own list when the mode asks for it. False when the
    // item cannot be placed (copy mode and no system image).
    bool PlaceImage(Item& item, Collection& collection) const;
    void UnregisterHotKeys(Collection& collection);
    // Empties a collection's table; its copied images stay for the next load unless removals have
    // left far more of them than items.
    static void ForgetItems(Collection& collection);
    void DiscardIcons();
    void DiscardFloating();
    void DiscardMenus();
    void AddMenuFolder(const std::wstring& folder, PathSet& ancestors, std::vector<std::wstring>& files);

    std::wstring m_dataFolder;
    std::wstring m_programFile;
    Collection m_icons;
    Collection m_floating;
    Collection m_menus;
    IconsSurface* m_iconsSurface = nullptr;
    FloatingSurface* m_floatingSurface = nullptr;
    MenusSurface* m_menusSurface = nullptr;
    ItemHotKeyRegistrar* m_hotKeys = nullptr;
    std::function<void(bool)> m_collectionsReady;
    std::function<bool()> m_imageModeProbe;
    ItemCache m_iconsCache;
    ItemCache m_floatingCache;
    ItemCache m_menusCache;
    HIMAGELIST m_systemImages = nullptr;
    bool m_sharesSystemImages = false;
    bool m_imageModeKnown = false;
    // The images, or what was read from the Icons files, were dropped: the Icons items a load
    // would keep must be placed afresh.
    bool m_iconImagesDropped = false;
    int m_loadDepth = 0;
    // Background reads: null while the loads read by themselves.
    std::shared_ptr<ItemReadQueue> m_readQueue;
    std::unique_ptr<ItemReader> m_reader;
    std::function<void()> m_resultsReady;
    std::function<void()> m_hotKeysRead;
    std::vector<ItemReadRequest> m_newReads;
    std::uint32_t m_generations[4] = {};
    std::int32_t m_neutralIndex = -1;
    bool m_applyWanted = false;    // results arrived while a load ran
    bool m_hotKeysArrived = false;  // a read since the reads were last all in brought a hotkey
    std::int32_t m_folderIconIndex = -1;
    std::int32_t m_folderOpenIconIndex = -1;
};
