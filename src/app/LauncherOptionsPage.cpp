// The main window's wiring of the "Options" page and the system menu: the data folder in use and
// its change, and the images of the menus' special-folder entries.

#include "app/LauncherMainUnit.h"

#include "app/Commands.h"
#include "items/DataFolder.h"
#include "items/ShellImages.h"

void TOrvoLauncherClass::ShowOptionsPage()
{
    if (m_optionsPage) m_optionsPage->ShowOptions();
}

void TOrvoLauncherClass::RenewMenuImages()
{
    m_systemMenu->SetSystemMenuImages(SharesSystemImagesNow());
    m_popupMenu->SetSystemMenuEntries(m_systemMenu->Entries());
    m_popupMenu->SetProgramFolderImage(m_systemMenu->ProgramFolderImages(), m_systemMenu->ProgramFolderIndex());
}

void TOrvoLauncherClass::ApplyDataFolder()
{
    if (m_optionsPage) m_optionsPage->ShowDataFolder(m_dataFolder);
    // Only a first start records where the entries are. A stored choice is never rewritten here:
    // it may be relative to the settings file, or name a drive that is connected later.
    if (!m_options.dataFolderStored && m_dataFolder == m_options.dataFolderChoice) {
        m_settings.Write(keys::DataFolder, m_dataFolder);
        m_options.dataFolderStored = true;
    }
    // Another folder: what the loads kept of the old one's files and images is dropped.
    m_collections.SetDataFolder(m_dataFolder);
    if (m_reload) m_reload->SetDataFolder(m_dataFolder);
    RenewMenuImages();
}

bool TOrvoLauncherClass::ChangeDataFolder(const std::wstring& folder)
{
    std::wstring candidate = folder;
    if (!EnsureCollectionFolders(candidate)) {
        ::MessageBeep(MB_ICONASTERISK);
        ::MessageBoxW(Handle(), kDataFolderFailureMessage, kProgramTitle, MB_OK | MB_ICONERROR);
        return false;
    }
    m_dataFolder = candidate;
    m_settings.Write(keys::DataFolder, m_dataFolder);
    m_options.dataFolderChoice = m_dataFolder;
    m_options.dataFolderStored = true;
    // Every surface is emptied and the old folders are no longer watched.
    if (m_reload) m_reload->StopWatching();
    m_collections.ClearCollections();
    ApplyDataFolder();
    // The new folder's collections at once, as a theme change reloads them, so no surface waits
    // for the next start.
    try {
        m_collections.LoadMenus();
        m_collections.LoadIcons();
        m_collections.LoadFloating();
    } catch (...) {
        // The new folder is watched even when a load failed, so the next change there rebuilds.
        if (m_reload) m_reload->StartWatching();
        throw;
    }
    if (m_reload) m_reload->StartWatching();
    ShowOptionsPage();
    return true;
}
