#include "pages/page_registry.h"

#include "pages/aes_page.h"
#include "pages/big_num_page.h"
#include "pages/checksum_page.h"
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

std::vector<std::unique_ptr<CPage>> CreatePages() {
    std::vector<std::unique_ptr<CPage>> pages;
    pages.push_back(std::make_unique<CDesPage>());
    pages.push_back(std::make_unique<CMacPage>());
    pages.push_back(std::make_unique<CAesPage>());
    pages.push_back(std::make_unique<CRsaPage>());
    pages.push_back(std::make_unique<CCrtPage>());
    pages.push_back(std::make_unique<CConvertPage>());
    pages.push_back(std::make_unique<CDataOpPage>());
    pages.push_back(std::make_unique<CChecksumPage>());
    pages.push_back(std::make_unique<CBigNumPage>());
    pages.push_back(std::make_unique<CTlvPage>());
    pages.push_back(std::make_unique<CSm4Page>());
    pages.push_back(std::make_unique<CSm3Page>());
    pages.push_back(std::make_unique<CSm2Page>());
    pages.push_back(std::make_unique<CEmvPage>());
    return pages;
}
