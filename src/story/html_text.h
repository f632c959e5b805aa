#pragma once
// The three ways a text of the service's users goes into an offline page: as the content of an
// element, as the value of an attribute, and as a file name inside a link. Titles and
// descriptions are whatever people typed, so each way must hold against markup in them.
#include <string>
#include <string_view>

namespace fotolun {

// & < > " ' as character references: the text shows as typed and never opens an element.
std::string htmlText(std::string_view utf8);
// The same for a double-quoted attribute value; line breaks become references too, so a value
// stays one line in the page's source.
std::string htmlAttribute(std::string_view utf8);
// A relative link to a file or folder name (UTF-8 bytes): every byte outside the unreserved set
// percent-encoded, "/" kept between levels, so "?", "#", "%", quotes and "javascript:" prefixes
// are only ever parts of a file name.
std::string linkToFile(std::string_view relativePath);

}  // namespace fotolun
