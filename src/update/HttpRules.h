#pragma once
// The HTTP rules of the text download that need no system: where a redirect leads, and how the body
// becomes text.

#include <optional>
#include <string>
#include <string_view>

// A body longer than this is not a version text (a portal page, a wrong file): the download fails.
inline constexpr std::size_t kMaxTextBytes = 4096;

// The target of the "Location" header in raw response headers (CR LF separated lines, the status line
// first), trimmed and with its letter case kept; nullopt when there is none. Only a header whose name
// is exactly "Location" counts ("Content-Location" names something else).
std::optional<std::wstring> RedirectTarget(std::wstring_view rawHeaders);

// Why a download came back without a response, as far as the user is told apart.
enum class FetchFailure {
    None,
    NoAnswer,         // the time-out passed, or the server said nothing
    NoConnection,     // the server cannot be reached (no network, name unknown, nothing listens)
    Unreadable,       // an answer that is no HTTP reply, or a body too large for a version text
    RedirectRefused,  // a redirect to an address that is not followed
    Other,            // any other error of the system's HTTP client; its number is kept
};

// The absolute address a redirect target names, relative to the address that answered: absolute
// "http://" and "https://" addresses stand, "//host/path" keeps the scheme, "/path" keeps scheme and
// host, and a bare relative path replaces the last segment of the base path. Any other scheme is not
// followed, nor a plain "http://" target of an "https://" base (which would hand the request to
// anyone on the way): nullopt.
std::optional<std::wstring> ResolveRedirect(std::wstring_view base, std::wstring_view target);

// True for "http://" and "https://" addresses (any letter case): the only ones fetched.
bool IsHttpAddress(std::wstring_view url);

// The body as text: UTF-8 (a leading byte-order mark dropped), bytes that are not UTF-8 as the
// replacement character.
std::wstring BodyText(std::string_view body);
