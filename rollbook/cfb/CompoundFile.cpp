#include "rollbook/cfb/CompoundFile.h"

#include "rollbook/XlsError.h"
#include "rollbook/cfb/CfbModel.h"

namespace zelvano::xls
{

CompoundFile::CompoundFile(std::unique_ptr<Impl> impl) : m_impl(std::move(impl)) {}
CompoundFile::CompoundFile(CompoundFile&&) noexcept = default;
CompoundFile& CompoundFile::operator=(CompoundFile&&) noexcept = default;
CompoundFile::~CompoundFile() = default;

CompoundFile CompoundFile::createEmpty(std::uint32_t sectorSize)
{
    if (sectorSize != 512 && sectorSize != 4096)
        throw XlsError("复合文档的扇区大小只能是 512 或 4096");
    auto impl = std::make_unique<Impl>();
    impl->sectorSize = sectorSize;
    cfb::Node root;
    root.name = u"Root Entry";
    root.type = cfb::kTypeRoot;
    impl->nodes.push_back(std::move(root));
    return CompoundFile(std::move(impl));
}

namespace
{

const cfb::Node* findRootStream(const CompoundFile::Impl& impl, std::string_view name)
{
    const std::u16string wanted = cfb::utf8ToUtf16(name);
    for (std::size_t i : impl.nodes[0].children) {
        const cfb::Node& n = impl.nodes[i];
        if (n.type == cfb::kTypeStream && cfb::namesEqualNoCase(n.name, wanted))
            return &n;
    }
    return nullptr;
}

} // namespace

std::vector<std::string> CompoundFile::rootStreamNames() const
{
    std::vector<std::string> names;
    for (std::size_t i : m_impl->nodes[0].children) {
        const cfb::Node& n = m_impl->nodes[i];
        if (n.type == cfb::kTypeStream)
            names.push_back(cfb::utf16ToUtf8(n.name));
    }
    return names;
}

std::optional<Bytes> CompoundFile::readRootStream(std::string_view name) const
{
    if (const cfb::Node* n = findRootStream(*m_impl, name))
        return n->data;
    return std::nullopt;
}

std::optional<Bytes> CompoundFile::takeRootStream(std::string_view name)
{
    auto* n = const_cast<cfb::Node*>(findRootStream(*m_impl, name));
    if (!n)
        return std::nullopt;
    Bytes data = std::move(n->data);
    n->data = Bytes();
    return data;
}

void CompoundFile::replaceRootStream(std::string_view name, Bytes data)
{
    auto* n = const_cast<cfb::Node*>(findRootStream(*m_impl, name));
    if (!n)
        throw XlsError("工作簿中没有名为 " + std::string(name) + " 的流");
    n->data = std::move(data);
}

void CompoundFile::addRootStream(std::string_view name, Bytes data)
{
    const std::u16string wide = cfb::utf8ToUtf16(name);
    if (wide.empty() || wide.size() > 31)
        throw XlsError("流名称的长度必须在 1 到 31 个字符之间");
    for (std::size_t i : m_impl->nodes[0].children)
        if (cfb::namesEqualNoCase(m_impl->nodes[i].name, wide))
            throw XlsError("已有同名的流或存储：" + std::string(name));
    cfb::Node n;
    n.name = wide;
    n.type = cfb::kTypeStream;
    n.data = std::move(data);
    m_impl->nodes[0].children.push_back(m_impl->nodes.size());
    m_impl->nodes.push_back(std::move(n));
}

std::uint32_t CompoundFile::sectorSize() const
{
    return m_impl->sectorSize;
}

} // namespace zelvano::xls
