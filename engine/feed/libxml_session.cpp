#include "feed/libxml_session.h"

#include <libxml/parser.h>
#include <libxml/xmlerror.h>
#include <mutex>

namespace zr5::script::feed {

namespace {

xmlParserInputPtr refuseExternal(const char*, const char*, xmlParserCtxtPtr)
{
    return nullptr;
}

void dropGeneric(void*, const char*, ...)
{
}

void dropStructured(void*, xmlErrorPtr)
{
}

} // namespace

void prepareLibxml()
{
    static std::once_flag once;
    std::call_once(once, [] {
        xmlInitParser();
        xmlSetExternalEntityLoader(refuseExternal);
    });
}

QuietErrors::QuietErrors()
    : m_genericContext(xmlGenericErrorContext)
    , m_genericHandler(xmlGenericError)
    , m_structuredContext(xmlStructuredErrorContext)
    , m_structuredHandler(xmlStructuredError)
{
    xmlSetGenericErrorFunc(nullptr, dropGeneric);
    xmlSetStructuredErrorFunc(nullptr, dropStructured);
}

QuietErrors::~QuietErrors()
{
    xmlSetGenericErrorFunc(m_genericContext, m_genericHandler);
    xmlSetStructuredErrorFunc(m_structuredContext, m_structuredHandler);
}

} // namespace zr5::script::feed
