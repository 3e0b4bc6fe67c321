#include "tools/accessdb/header_page.h"

#include <cmath>
#include <cstring>

#include "tools/accessdb/rc4.h"

namespace accessdb {
namespace {

constexpr int kMaskStart = 0x18;
constexpr int kCodePage = 0x3C;
constexpr int kDatabaseKey = 0x3E;  // 0: pages are not encrypted
constexpr int kPassword = 0x42;
constexpr int kJet4SortOrder = 0x6E;
constexpr int kJet4CreationDate = 0x72;
constexpr int kJet3SortOrder = 0x3A;
constexpr std::uint16_t kGeneralSortOrder = 0x0409;

int MaskLength(const JetFormat& format) { return format.jet4() ? 128 : 126; }

}  // namespace

void ToggleHeaderMask(const JetFormat& format, Bytes& page) {
  static constexpr std::string_view kKey("\xC7\xDA\x39\x6B", 4);
  Rc4Crypt(kKey, &page[kMaskStart], static_cast<size_t>(MaskLength(format)));
}

Bytes BuildHeaderPage(const JetFormat& format, int code_page, double creation_date, int ace_version) {
  Bytes page(static_cast<size_t>(format.page_size), 0);
  page[1] = 0x01;
  std::memcpy(&page[4], ace_version != 0 ? "Standard ACE DB" : "Standard Jet DB", 16);  // with its terminating zero
  Put32(&page[0x14], static_cast<std::uint32_t>(ace_version != 0 ? ace_version : format.jet4() ? 1 : 0));
  Put16(&page[kCodePage], static_cast<std::uint32_t>(code_page));
  Put32(&page[kDatabaseKey], 0);
  if (format.jet4()) {
    Put16(&page[kJet4SortOrder], kGeneralSortOrder);  // then 0 and sort version 0
    PutDouble(&page[kJet4CreationDate], creation_date);
    // An empty password is stored XORed with the creation date's whole days.
    std::uint8_t mask[4];
    Put32(mask, static_cast<std::uint32_t>(static_cast<std::int32_t>(std::floor(creation_date))));
    for (int i = 0; i < 40; ++i) page[static_cast<size_t>(kPassword + i)] = mask[i % 4];
  } else {
    Put16(&page[kJet3SortOrder], kGeneralSortOrder);
  }
  ToggleHeaderMask(format, page);
  return page;
}

}  // namespace accessdb
