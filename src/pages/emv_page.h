// The EMV page: card key, session key, application cryptogram and ARPC of an online transaction
// in 3DES or SM4, every intermediate value listed, and the check of a card's ARQC from field 55.
#pragma once

#include <string>
#include <vector>

#include "common/page.h"

class CEmvPage : public CPage {
public:
    CEmvPage();

    // OnCompute checks the inputs in form order, then computes as far as they reach: the card key
    // (master key and PAN), the session key (ATC, and UN for Mastercard), the cryptogram (data),
    // the ARPC (ARC, or CSU for method 2). When the ARQC field is filled and the cryptogram was
    // computed, the outcome is "ARQC 验证正确" or "ARQC 验证错误".
    ActionResult OnCompute();
    // OnVerify reads PAN, PSN, ATC, UN, ARQC and the cryptogram data of the chosen version from
    // the field-55 dump, sets that version's options and computes as OnCompute does. A refusal,
    // of field 55 or of the inputs it gives, changes nothing.
    ActionResult OnVerify();
    // OnClear empties every input and result field and its counter.
    ActionResult OnClear();

    // What one computation reads: the blank-free texts of the input fields and the names of the
    // chosen options.
    struct Inputs {
        std::string mk, pan, psn, atc, un, data, arqc, arc, csu, propdata;
        std::string alg, udk, session, pad, arpc, arpckey;
    };

private:
    Inputs ReadInputs() const;
    std::string ChoiceName(const char* group_id) const;
    void ChooseByName(const char* group_id, const std::string& name);
    // Compute writes the results of checked inputs, the trace starting with `trace`.
    ActionResult Compute(const Inputs& in, std::vector<std::string> trace);
};
