// Which folder texts, patterns and entry names the scan may use, and how a
// folder and a name are joined. Texts are GBK (code page 936); every test of
// a character steps through the text by characters, never bytes, so that a
// trail byte 0x5C ("\") of a double-byte character is never taken for a
// path separator.
#pragma once

#include <string>
#include <string_view>

namespace app {

// True when the last character (not the last byte) is a backslash.
bool EndsWithBackslash(std::string_view text);
// The folder followed by one backslash unless it already ends with one.
std::string WithBackslash(std::string_view folder);
// A drive path "X:\..." or a network path "\\server\share...".
bool IsAbsoluteFolder(std::string_view folder);
// A pattern piece containing "\", "/" or ":" would reach outside the folder
// being listed: it matches nothing.
bool PatternUsable(std::string_view piece);
// An entry name the scan may touch: it round-trips through code page 936
// exactly (no substituted characters, so it can only ever name this entry)
// and does not end in a dot or a space (the platform strips those, so
// opening or deleting the name would reach another entry).
bool EntryNameSafe(std::string_view name);
// A listed folder whose every component after the root (the drive, or the
// server and share of a network path) is a name the scan may touch by the
// rule above; "." and ".." are refused too, since the platform rewrites
// them. Empty components (doubled backslashes) name nothing and pass.
bool FolderComponentsSafe(std::string_view folder);
// A name as the platform lists it (UTF-16), in code page 936 when it can be
// written there exactly: converted without any best-fit look-alike and back
// unchanged, and then safe by the entry rule. Otherwise false: such a name
// could only be reached through another name, which may be another file's.
bool NameFromWide(std::wstring_view wide, std::string* out);

}  // namespace app
