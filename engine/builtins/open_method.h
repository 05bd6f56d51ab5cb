// The open(url) method Document and Feed share: the receiver and the address
// checked, the document fetched for the script, and what the object makes of
// it left to the object.
#pragma once

#include "interp/value.h"
#include "net/internet_session.h"

#include <string>

namespace zr5::script {

// Stores what the object keeps of fetched in members and answers open()'s result.
using DocumentReader
    = ValuePtr (*)(Properties& members, const std::string& url, const net::FetchResult& fetched);

// Without a receiver open() answers no value and touches nothing, without an
// address false; a cancelled fetch stops the run once reader has kept what arrived.
ValuePtr makeOpenMethod(DocumentReader reader);

} // namespace zr5::script
