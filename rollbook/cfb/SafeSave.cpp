#include "rollbook/cfb/SafeSave.h"

#include "rollbook/XlsError.h"
#include "rollbook/cfb/PlatformFile.h"

#include <algorithm>
#include <fstream>
#include <mutex>
#include <random>
#include <set>
#include <utility>

namespace zelvano::xls
{

namespace fs = std::filesystem;

namespace
{

const char kTempMarker[] = ".zelvano-tmp-";

std::string displayName(const fs::path& p)
{
    const auto u8 = p.filename().u8string();
    return std::string(u8.begin(), u8.end());
}

// ".NAME.zelvano-tmp-": hidden on Linux, and easy to tell as ours.
fs::path tempPrefix(const fs::path& target)
{
    fs::path name(".");
    name += target.filename();
    name += kTempMarker;
    return name;
}

fs::path newTempPath(const fs::path& target)
{
    static std::mutex mutex;
    static std::mt19937_64 rng{std::random_device{}()};
    std::uint64_t r = 0;
    {
        std::lock_guard lock(mutex);
        r = rng();
    }
    static const char digits[] = "0123456789abcdef";
    std::string suffix;
    for (int i = 0; i < 12; ++i, r >>= 4)
        suffix.push_back(digits[r & 15]);
    fs::path name = tempPrefix(target);
    name += suffix;
    return target.parent_path() / name;
}

void removeLeftoverTemps(const fs::path& target)
{
    const auto prefix = tempPrefix(target).native();
    const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const auto name = it->path().filename().native();
        if (name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0) {
            std::error_code ignored;
            fs::remove(it->path(), ignored);
        }
    }
}

// Writes `bytes` to a temporary file beside `target` and renames it over
// `target`; on any failure the temporary file goes and `target` stays.
void replaceAtomically(const fs::path& target, const Bytes& bytes)
{
    removeLeftoverTemps(target);
    const fs::path temp = newTempPath(target);
    try {
        std::error_code ec;
        platform::writeNewFileDurably(temp, bytes, fs::exists(target, ec) ? target : fs::path());
        platform::replaceFileDurably(temp, target);
    } catch (...) {
        std::error_code ignored;
        fs::remove(temp, ignored);
        throw;
    }
}

// The backup is the file as it is on disk now. A hard link gives it without
// reading or writing a byte: the old file lives on as the backup once the
// new one is renamed over it. Where the file system has no links (FAT, some
// network shares) the bytes are copied.
void takeBackup(const fs::path& target, const fs::path& backup)
{
    removeLeftoverTemps(backup);
    const fs::path temp = newTempPath(backup);
    std::error_code linkError;
    fs::create_hard_link(target, temp, linkError);
    if (linkError) {
        replaceAtomically(backup, readWholeFile(target));
        return;
    }
    try {
        platform::replaceFileDurably(temp, backup);
    } catch (...) {
        std::error_code ignored;
        fs::remove(temp, ignored);
        throw;
    }
}

std::pair<fs::path, fs::path> backupKey(const fs::path& target, const fs::path& backup)
{
    std::error_code ec;
    auto norm = [&](const fs::path& p) {
        const fs::path abs = fs::absolute(p, ec);
        return (ec ? p : abs).lexically_normal();
    };
    return {norm(target), norm(backup)};
}

} // namespace

void saveFileAtomically(const fs::path& target, const Bytes& bytes, const fs::path& backup)
{
    static std::mutex mutex;
    static std::set<std::pair<fs::path, fs::path>> done;
    std::lock_guard lock(mutex);
    const auto key = backupKey(target, backup);
    const bool wantBackup = !backup.empty() && !done.contains(key);
    if (wantBackup) {
        std::error_code ec;
        // A failed backup stops the save: the teacher's only copy is not
        // overwritten without one.
        if (fs::exists(target, ec)) {
            takeBackup(target, backup);
            done.insert(key);
        }
    }
    replaceAtomically(target, bytes);
    // A file that did not exist had nothing to keep; once it is written,
    // later saves in this run need no backup either. Until then (a failed
    // save into a missing folder) the next save still takes one.
    if (wantBackup)
        done.insert(key);
}

Bytes readWholeFile(const fs::path& path, std::uintmax_t maxBytes)
{
    std::error_code ec;
    const fs::file_status st = fs::status(path, ec);
    if (!fs::exists(st))
        throw XlsError("找不到文件 " + displayName(path));
    if (fs::is_directory(st))
        throw XlsError(displayName(path) + " 是文件夹，不是文件");
    const std::uintmax_t size = fs::file_size(path, ec);
    if (!ec && size > maxBytes)
        throw XlsError(displayName(path) + " 太大，无法打开");
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw XlsError("无法读取 " + displayName(path));
    // Read straight into the result, sized by what the file system says; a
    // file that grew meanwhile is read on to its end.
    Bytes out(ec ? 0 : std::size_t(size) + 1);
    std::size_t filled = 0;
    while (true) {
        if (filled == out.size())
            out.resize(std::max<std::size_t>(out.size() * 2, 65536));
        in.read(reinterpret_cast<char*>(out.data() + filled), std::streamsize(out.size() - filled));
        filled += std::size_t(in.gcount());
        if (filled > maxBytes)
            throw XlsError(displayName(path) + " 太大，无法打开");
        if (!in)
            break;
    }
    out.resize(filled);
    if (in.bad())
        throw XlsError("无法读取 " + displayName(path));
    return out;
}

} // namespace zelvano::xls
