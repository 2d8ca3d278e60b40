#include "rollbook/cfb/FileWatch.h"

#include "rollbook/XlsError.h"
#include "rollbook/cfb/ContentHash.h"
#include "rollbook/cfb/PlatformFile.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <vector>

namespace zelvano::xls
{

namespace fs = std::filesystem;

namespace
{

std::string utf8Name(const fs::path& p)
{
    const auto u8 = p.u8string();
    return std::string(u8.begin(), u8.end());
}

fs::path sibling(const fs::path& path, const std::string& utf8Name)
{
    return path.parent_path() /
           fs::path(
               std::u8string(reinterpret_cast<const char8_t*>(utf8Name.data()), utf8Name.size()));
}

// Drops the first `count` UTF-8 characters.
std::string dropChars(const std::string& s, std::size_t count)
{
    std::size_t i = 0;
    while (count > 0 && i < s.size()) {
        ++i;
        while (i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80)
            ++i;
        --count;
    }
    return s.substr(i);
}

// Host names compared without case and without their domain: LibreOffice
// may write the full name where the system reports the short one.
bool sameHost(std::string_view a, std::string_view b)
{
    a = a.substr(0, a.find('.'));
    b = b.substr(0, b.find('.'));
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; };
               return lower(x) == lower(y);
           });
}

std::vector<std::string> splitLockLine(const std::string& text)
{
    std::vector<std::string> fields(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\' && i + 1 < text.size()) {
            fields.back().push_back(text[++i]);
        } else if (c == ',') {
            fields.emplace_back();
        } else if (c == ';' || c == '\n' || c == '\r') {
            break;
        } else {
            fields.back().push_back(c);
        }
    }
    return fields;
}

// ".~lock.NAME#" holds "name,host,system user,date,profile". Nothing in it
// says which process wrote it, so a lock from this computer counts only
// while LibreOffice runs here for that user; one from another computer
// cannot be checked and counts.
bool libreOfficeLockIsLive(const fs::path& lock, std::string* who)
{
    std::ifstream in(lock, std::ios::binary);
    std::string text(1024, '\0');
    in.read(text.data(), std::streamsize(text.size()));
    text.resize(std::size_t(in.gcount()));
    const auto fields = splitLockLine(text);
    const std::string host = fields.size() > 1 ? fields[1] : std::string();
    const std::string user = fields.size() > 2 ? fields[2] : std::string();
    *who = fields[0].empty() ? user : fields[0];
    const std::string here = platform::hostName();
    if (!host.empty() && !here.empty() && !sameHost(host, here))
        return true;
    return platform::isProcessRunning({"soffice.bin", "soffice"}, user);
}

} // namespace

FileStamp statOf(const fs::path& path)
{
    std::error_code ec;
    FileStamp stamp;
    stamp.size = fs::file_size(path, ec);
    if (ec)
        throw XlsError("无法读取 " + utf8Name(path.filename()));
    const auto mtime = fs::last_write_time(path, ec);
    if (!ec)
        stamp.modifiedNs =
            std::chrono::duration_cast<std::chrono::nanoseconds>(mtime.time_since_epoch()).count();
    return stamp;
}

FileStamp stampOf(const fs::path& path)
{
    FileStamp stamp = statOf(path);
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw XlsError("无法读取 " + utf8Name(path.filename()));
    ContentHasher hasher;
    std::vector<char> buf(1 << 18);
    while (in.read(buf.data(), std::streamsize(buf.size())) || in.gcount() > 0)
        hasher.update(buf.data(), std::size_t(in.gcount()));
    if (in.bad())
        throw XlsError("无法读取 " + utf8Name(path.filename()));
    stamp.contentHash = hasher.digest();
    return stamp;
}

WriteAccess checkWriteAccess(const fs::path& path)
{
    const std::string name = utf8Name(path.filename());
    switch (platform::probeWrite(path)) {
    case platform::WriteProbe::Writable:
        break;
    case platform::WriteProbe::Missing:
        return {true, "找不到 " + name};
    case platform::WriteProbe::FileReadOnly:
        return {true, name + " 是只读文件，不能写入"};
    case platform::WriteProbe::FolderReadOnly:
        return {true, name + " 所在的文件夹不允许写入"};
    case platform::WriteProbe::InUse:
        return {true, name + " 正被另一个程序打开编辑"};
    case platform::WriteProbe::Failed:
        return {true, name + " 无法打开写入"};
    }
    std::error_code ec;
    // Excel shortens the owner file's name of longer file names by their
    // first two characters; WPS does not.
    for (const std::string& ownerName : {"~$" + name, "~$" + dropChars(name, 2)}) {
        const fs::path owner = sibling(path, ownerName);
        if (fs::is_regular_file(owner, ec) && platform::isOwnerFileLive(owner))
            return {true, name + " 正在 Excel 或 WPS 中打开编辑"};
    }
    const fs::path lock = sibling(path, ".~lock." + name + "#");
    std::string who;
    if (fs::is_regular_file(lock, ec) && libreOfficeLockIsLive(lock, &who))
        return {true,
                name + " 正在 LibreOffice 中打开编辑" + (who.empty() ? "" : "（" + who + "）")};
    return {};
}

} // namespace zelvano::xls
