#pragma once
// File names the users never have to type or mend: safe on every disk they
// may copy a recording to (a FAT or exFAT stick, a Windows machine), and
// never one that is already taken.

#include <filesystem>
#include <string>

namespace platform {

// `name` (UTF-8) with every character such a disk refuses (control
// characters and \ / : * ? " < > |) made a blank, no blank or dot at its
// end, and a name the old systems reserve (CON, NUL, COM1 …) given a mark.
std::string safeFileName(const std::string& name);
// `name` if no file in `folder` has it, else the first of "name (2).ext",
// "name (3).ext" … that is free.
std::string freeFileName(const std::filesystem::path& folder, const std::string& name);
// A UTF-8 name as a path, and back.
std::filesystem::path pathOf(const std::string& utf8);
std::string utf8Of(const std::filesystem::path& path);

} // namespace platform
