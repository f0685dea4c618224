// The SM3 page: HMAC-SM3 over a key and data, and the SM3 hash (GB/T 32905) of hex data.
#pragma once

#include "common/page.h"

class CSm3Page : public CPage {
public:
    CSm3Page();

    // OnHmac computes HMAC-SM3 (RFC 2104) of the HMAC data under the HMAC key.
    ActionResult OnHmac();
    // OnClearHmac empties the HMAC data, key and result; the result counter keeps its value.
    ActionResult OnClearHmac();
    // OnHash computes the SM3 digest of the data; empty data is the empty message.
    ActionResult OnHash();
    // OnClearHash empties the data and the digest; the digest counter keeps its value.
    ActionResult OnClearHash();
};
