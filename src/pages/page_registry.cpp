#include "pages/page_registry.h"

#include "pages/aes_page.h"
#include "pages/big_num_page.h"
#include "pages/checksum_page.h"
#include "pages/cipher_page.h"
#include "pages/convert_page.h"
#include "pages/crt_page.h"
#include "pages/data_op_page.h"
#include "pages/des_page.h"
#include "pages/emv_page.h"
#include "pages/mac_page.h"
#include "pages/rsa_page.h"
#include "pages/sm2_page.h"
#include "pages/sm3_page.h"
#include "pages/sm4_page.h"
#include "pages/tlv_page.h"

namespace {

template <typename Page>
std::unique_ptr<CPage> Make() {
    return std::make_unique<Page>();
}

// The tab groups of the pages beyond the thirteen tool pages of the first window.
constexpr const char* kOwnTab = "";
constexpr const char* kEmvGroup = "EMV 运算";
constexpr const char* kMoreAlgorithmsGroup = "扩展算法";

// Adding a page: its model, its engine, one line here, its tests.
struct RegisteredPage {
    const char* group;
    std::unique_ptr<CPage> (*make)();
};
constexpr RegisteredPage kPages[] = {
    {kOwnTab, Make<CDesPage>},
    {kOwnTab, Make<CMacPage>},
    {kOwnTab, Make<CAesPage>},
    {kOwnTab, Make<CRsaPage>},
    {kOwnTab, Make<CCrtPage>},
    {kOwnTab, Make<CConvertPage>},
    {kOwnTab, Make<CDataOpPage>},
    {kOwnTab, Make<CChecksumPage>},
    {kOwnTab, Make<CBigNumPage>},
    {kOwnTab, Make<CTlvPage>},
    {kOwnTab, Make<CSm4Page>},
    {kOwnTab, Make<CSm3Page>},
    {kOwnTab, Make<CSm2Page>},
    {kEmvGroup, Make<CEmvPage>},
    {kMoreAlgorithmsGroup, Make<CCipherPage>},
};

}  // namespace

std::vector<std::unique_ptr<CPage>> CreatePages() {
    std::vector<std::unique_ptr<CPage>> pages;
    for (const RegisteredPage& entry : kPages) {
        pages.push_back(entry.make());
    }
    return pages;
}

std::vector<std::string> PageGroups() {
    std::vector<std::string> groups;
    for (const RegisteredPage& entry : kPages) {
        groups.emplace_back(entry.group);
    }
    return groups;
}
