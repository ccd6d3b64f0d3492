#pragma once
// Where the program asks for the newest version, the page it offers and how long it waits: fixed
// when the program is built (LAUNCHER_UPDATE_URL, LAUNCHER_HOME_PAGE, LAUNCHER_UPDATE_TIMEOUT).

struct UpdateAddresses {
    const wchar_t* updateUrl;
    const wchar_t* homePage;
    unsigned timeOutSeconds;
};

// Defined by each build of the program.
extern const UpdateAddresses kUpdateAddresses;
