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

// ".~lock.NAME#" holds "user name,system user,host,date,profile". Nothing
// in it says which process wrote it, so a lock from this computer counts
// only while LibreOffice runs here for that user with that profile; one
// from another computer cannot be checked and counts.
WriteAccess libreOfficeLock(const fs::path& lock, const std::string& name)
{
    std::ifstream in(lock, std::ios::binary);
    std::string text(1024, '\0');
    in.read(text.data(), std::streamsize(text.size()));
    text.resize(std::size_t(in.gcount()));
    auto fields = splitLockLine(text);
    fields.resize(std::max<std::size_t>(fields.size(), 5));
    const std::string& user = fields[1];
    const std::string& host = fields[2];
    const std::string who = fields[0].empty() ? user : fields[0];
    WriteAccess held{true,
                     name + " 正在 LibreOffice 中打开编辑" + (who.empty() ? "" : "（" + who + "）"),
                     WriteProblem::Held,
                     "soffice.bin",
                     0,
                     {}};
    const std::string here = platform::hostName();
    if (!host.empty() && !here.empty() && !sameHost(host, here)) {
        held.owner = (who.empty() ? "" : who + "，") + "电脑 " + host;
        return held;
    }
    const bool ours = user.empty() || user == platform::currentUser();
    const platform::HeldBy running =
        platform::findProgram({"soffice.bin", "soffice"}, ours ? "" : user, fields[4]);
    if (!running.held)
        return {};
    held.pid = ours ? running.pid : 0;
    return held;
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
    using P = WriteProblem;
    const auto refused = [](std::string reason, P problem) {
        WriteAccess access;
        access.readOnly = true;
        access.reason = std::move(reason);
        access.problem = problem;
        return access;
    };
    switch (platform::probeWrite(path)) {
    case platform::WriteProbe::Writable:
        break;
    case platform::WriteProbe::Missing: {
        std::error_code ec;
        const fs::path folder = path.parent_path();
        if (!folder.empty() && !fs::is_directory(folder, ec))
            return refused(name + " 所在的文件夹 " + utf8Name(folder) + " 已不存在", P::FolderGone);
        return refused("找不到 " + name, P::Missing);
    }
    case platform::WriteProbe::FileReadOnly:
        return refused(name + " 是只读文件，不能写入", P::ReadOnly);
    case platform::WriteProbe::FolderReadOnly:
        return refused(name + " 所在的文件夹不允许写入", P::FolderReadOnly);
    case platform::WriteProbe::InUse:
        return refused(name + " 正被另一个程序打开编辑", P::Held);
    case platform::WriteProbe::Failed:
        return refused(name + " 无法打开写入", P::Failed);
    }
    std::error_code ec;
    // Excel shortens the owner file's name of longer file names by their
    // first two characters; WPS does not.
    for (const std::string& ownerName : {"~$" + name, "~$" + dropChars(name, 2)}) {
        const fs::path owner = sibling(path, ownerName);
        if (!fs::is_regular_file(owner, ec))
            continue;
        if (const platform::HeldBy holder = platform::ownerFileHolder(owner); holder.held)
            return {true, name + " 正在 Excel 或 WPS 中打开编辑", P::Held, holder.image, holder.pid,
                    {}};
    }
    const fs::path lock = sibling(path, ".~lock." + name + "#");
    if (fs::is_regular_file(lock, ec))
        return libreOfficeLock(lock, name);
    return {};
}

} // namespace zelvano::xls
