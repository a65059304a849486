// Texts inside XML: escaping what goes out, unescaping what comes back, and
// finding an element by its exact name.
#pragma once

#include "platform/core/String.h"

CString QvxXmlEscape(const CString& text);
// The five named entities and numeric character references below 256.
CString QvxXmlUnescape(const CString& text);

// The outcome of looking for an element.
enum class QvxXmlFind { missing, found, cut };

// Finds the first element named exactly name at or after start. On found,
// content is what lies between its tags (empty for <name/>), attributes the
// text of its opening tag after the name, and end the offset after the
// element. An opening tag without its end is cut.
QvxXmlFind QvxFindXmlElement(const CString& text, const char* name, int start, CString& content, CString& attributes,
                             int& end);
