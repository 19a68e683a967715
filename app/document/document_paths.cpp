#include "app/document/document_paths.h"

#include <filesystem>
#include <system_error>

#include "automation/file_name.h"

namespace qmx {

BSTR AbsoluteFileName(const BSTR& name)
{
    const std::optional<std::string> bytes = BstrToFileName(name);
    if (!bytes || bytes->empty()) return name;
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(std::filesystem::path(*bytes), error);
    if (error) return name;
    return FileNameToBstr(absolute.lexically_normal().native());
}

BSTR FileNamePart(const BSTR& name)
{
    const std::size_t slash = name.rfind(u'/');
    return slash == BSTR::npos ? name : name.substr(slash + 1);
}

bool FileExtension(const BSTR& name, BSTR* extension)
{
    const BSTR part = FileNamePart(name);
    const std::size_t dot = part.rfind(u'.');
    if (dot == BSTR::npos) return false;
    *extension = part.substr(dot + 1);
    return true;
}

}  // namespace qmx
