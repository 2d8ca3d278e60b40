// The floor of any reader built on the libraries the .xlsx engine uses:
// every XML part of a package inflated with libzip and parsed by expat with
// empty element and text handlers, nothing kept. The dump's CPU time over
// this one says what our own work costs on top of the libraries'.
//   expat_floor FILE.xlsx
#include <expat.h>
#include <zip.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace
{

void XMLCALL onStart(void*, const XML_Char*, const XML_Char**) {}
void XMLCALL onEnd(void*, const XML_Char*) {}
void XMLCALL onText(void*, const XML_Char*, int) {}

bool parsePart(zip_t* archive, zip_uint64_t index, std::vector<char>& buffer)
{
    zip_file_t* part = zip_fopen_index(archive, index, 0);
    if (!part)
        return false;
    XML_Parser parser = XML_ParserCreate(nullptr);
    XML_SetElementHandler(parser, onStart, onEnd);
    XML_SetCharacterDataHandler(parser, onText);
    bool ok = true;
    for (;;) {
        const zip_int64_t n = zip_fread(part, buffer.data(), buffer.size());
        if (n < 0) {
            ok = false;
            break;
        }
        if (XML_Parse(parser, buffer.data(), static_cast<int>(n), n == 0) != XML_STATUS_OK) {
            ok = false;
            break;
        }
        if (n == 0)
            break;
    }
    XML_ParserFree(parser);
    zip_fclose(part);
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    int error = 0;
    zip_t* archive = zip_open(argv[1], ZIP_RDONLY, &error);
    if (!archive)
        return 1;
    std::vector<char> buffer(1 << 16);
    const zip_int64_t entries = zip_get_num_entries(archive, 0);
    int status = 0;
    for (zip_int64_t i = 0; i < entries; ++i) {
        const char* name = zip_get_name(archive, static_cast<zip_uint64_t>(i), 0);
        const std::size_t length = name ? std::strlen(name) : 0;
        const bool xml = length > 4 && (std::strcmp(name + length - 4, ".xml") == 0 ||
                                        std::strcmp(name + length - 5, ".rels") == 0);
        if (xml && !parsePart(archive, static_cast<zip_uint64_t>(i), buffer))
            status = 1;
    }
    zip_close(archive);
    return status;
}
