// The EMV page: card key, session key, application cryptogram and ARPC of an online transaction
// in 3DES or SM4, every intermediate value listed, and the check of a card's ARQC from field 55.
#pragma once

#include <string>

#include "common/page.h"
#include "common/trace.h"
#include "payment/emv_crypto.h"
#include "payment/emv_cryptogram.h"

class CEmvPage : public CPage {
public:
    CEmvPage();

    // The choices of "填充" (method 2 first) and "密文版本", in order. "算法", "卡片密钥",
    // "会话密钥", "ARPC 方法" and "ARPC 密钥" are the engine's EmvCipher, EmvUdkMethod,
    // EmvSessionMethod, EmvArpcMethod and EmvArpcKey, whose values are in the order of their
    // choices.
    enum class Padding { Method2, Method1 };
    enum class Version { Visa10, Visa18, Mastercard16, Pboc };

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

    // What one computation reads: the blank-free texts of the input fields and the chosen options.
    struct Inputs {
        std::string mk, pan, psn, atc, un, data, arqc, arc, csu, propdata;
        EmvCipher cipher = EmvCipher::Tdes;
        EmvUdkMethod udk = EmvUdkMethod::OptionA;
        EmvSessionMethod session = EmvSessionMethod::Pboc;
        Padding padding = Padding::Method2;
        EmvArpcMethod arpc = EmvArpcMethod::Method1;
        EmvArpcKey arpc_key = EmvArpcKey::SessionKey;
    };

private:
    Inputs ReadInputs() const;
    // Compute writes the results of checked inputs, the trace starting with `trace`.
    ActionResult Compute(const Inputs& in, CTrace trace);

    OptionOf<EmvCipher> m_cipher;
    OptionOf<EmvUdkMethod> m_udk;
    OptionOf<EmvSessionMethod> m_session;
    OptionOf<Padding> m_padding;
    OptionOf<EmvArpcMethod> m_arpc;
    OptionOf<EmvArpcKey> m_arpcKey;
    OptionOf<Version> m_version;
};
