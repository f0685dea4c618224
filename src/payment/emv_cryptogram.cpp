#include "payment/emv_cryptogram.h"

#include <utility>

namespace {

// The warning for a triple DES key whose halves are equal.
std::string Warning(const std::string& key_name) {
    return "Warning: the halves of the " + key_name + " are equal: it is single DES";
}

// Raw, parity-adjusted (triple DES) and KCV of a key, with the warning for equal halves.
void TraceKey(CTrace& trace, const std::string& name, EmvCipher cipher,
              const EmvKeyDerivation& key) {
    if (cipher == EmvCipher::Tdes) {
        trace.Value(name + " (raw)", key.raw);
        trace.Value(name + " (odd parity)", key.key);
    } else {
        trace.Value(name, key.key);
    }
    trace.Value(name + " KCV", key.kcv, key.single_des ? Warning(name) : "");
}

// The padded data, the CBC chain and the final transform; `result` names the MAC's value.
void TraceMac(CTrace& trace, EmvCipher cipher, const std::string& key_name,
              const std::string& result, const EmvMacComputation& mac) {
    trace.Value(cipher == EmvCipher::Sm4 ? "Padded (method 2, 16-byte blocks)" : "Padded",
                mac.padded);
    trace.Values("CBC", mac.chain);
    const std::string last = "CBC " + std::to_string(mac.chain.size());
    if (cipher == EmvCipher::Tdes) {
        trace.Value("DES^-1(" + key_name + " right)[" + last + "]", mac.decrypted);
        trace.Value(result + " = DES(" + key_name + " left)[...]", mac.mac);
    } else {
        trace.Value(result + " = left 8 bytes of " + last, mac.mac);
    }
}

// The choices that PBOC defines no SM4 form of.
bool HasNoSm4Form(const EmvCryptogramInputs& in) {
    return in.cipher == EmvCipher::Sm4 &&
           (in.udk_method == EmvUdkMethod::OptionB ||
            in.session_method == EmvSessionMethod::Common ||
            in.session_method == EmvSessionMethod::Mastercard ||
            in.padding == EmvPadding::Method1 || in.arpc_method == EmvArpcMethod::Method2);
}

// The card key: the steps of its derivation, then the key.
bool CardKey(const EmvCryptogramInputs& in, CTrace& trace, EmvKeyDerivation& udk) {
    const bool tdes = in.cipher == EmvCipher::Tdes;
    if (tdes && EmvIsSingleDes(in.imk)) {
        trace.Note(Warning("IMK"));
    }
    if (in.udk_method != EmvUdkMethod::MasterKey && !in.psn) {
        trace.Note("PSN: absent, 00");
    }
    EmvUdkDerivation derived;
    if (!EmvDeriveUdk(in.cipher, in.udk_method, in.imk, in.pan, in.psn.value_or(0), derived)) {
        return false;
    }
    switch (derived.method) {
        case EmvUdkMethod::MasterKey:
            trace.Note("UDK: the master key itself");
            break;
        case EmvUdkMethod::OptionB:
            trace.Note("UDK: EMV Option B");
            trace.Text("X = PAN || PSN", derived.x_digits);
            trace.Value("SHA-1(X)", derived.sha1);
            trace.Value("Y = decimalised SHA-1(X)", derived.y);
            break;
        case EmvUdkMethod::OptionA:
            trace.Note(in.udk_method == EmvUdkMethod::OptionB
                           ? "UDK: PAN of 16 digits or fewer, Option B is Option A"
                       : tdes ? "UDK: EMV Option A"
                              : "UDK: PBOC SM4 form");
            trace.Value("Y = rightmost 16 digits of PAN || PSN", derived.y);
            break;
    }
    if (derived.method != EmvUdkMethod::MasterKey) {
        trace.Value("~Y", derived.not_y);
        if (tdes) {
            trace.Value("UDK left = 3DES(IMK)[Y]", derived.key.outputs[0]);
            trace.Value("UDK right = 3DES(IMK)[~Y]", derived.key.outputs[1]);
        } else {
            trace.Value("UDK = SM4(IMK)[Y || ~Y]", derived.key.outputs[0]);
        }
    }
    udk = derived.key;
    TraceKey(trace, "UDK", in.cipher, udk);
    return true;
}

// The session key, when the inputs reach it.
bool SessionKey(const EmvCryptogramInputs& in, const EmvKeyDerivation& udk, CTrace& trace,
                std::optional<EmvKeyDerivation>& sk) {
    if (in.session_method == EmvSessionMethod::None) {
        trace.Note("Session key: none, the UDK itself");
        sk = udk;
        return true;
    }
    if (!in.atc) {
        trace.Note("Session key: not computed, no ATC");
        return true;
    }
    if (in.session_method == EmvSessionMethod::Mastercard && !in.un) {
        trace.Note("Session key: not computed, no UN");
        return true;
    }
    EmvKeyDerivation derived;
    if (!EmvDeriveSessionKey(in.cipher, in.session_method, udk.key, *in.atc,
                             in.un.value_or(std::array<uint8_t, 4>{}), derived)) {
        return false;
    }
    const bool tdes = in.cipher == EmvCipher::Tdes;
    trace.Note(std::string("Session key: ") +
               (in.session_method == EmvSessionMethod::Pboc     ? "PBOC "
                : in.session_method == EmvSessionMethod::Common ? "EMV common session key, "
                                                                : "Mastercard SKD, ") +
               (tdes ? "3DES" : "SM4"));
    if (tdes) {
        trace.Value("SK left input", derived.inputs[0]);
        trace.Value("SK left = 3DES(UDK)[left input]", derived.outputs[0]);
        trace.Value("SK right input", derived.inputs[1]);
        trace.Value("SK right = 3DES(UDK)[right input]", derived.outputs[1]);
    } else {
        trace.Value("SK input", derived.inputs[0]);
        trace.Value("SK = SM4(UDK)[input]", derived.outputs[0]);
    }
    TraceKey(trace, "SK", in.cipher, derived);
    sk = derived;
    return true;
}

// The application cryptogram, when there are a session key and data, and its check against the
// card's ARQC.
bool Cryptogram(const EmvCryptogramInputs& in, const std::optional<EmvKeyDerivation>& sk,
                EmvCryptogramResults& out) {
    CTrace& trace = out.trace;
    if (!sk) {
        trace.Note("AC: not computed, no session key");
    } else if (in.data.empty()) {
        trace.Note("AC: not computed, no transaction data");
    } else {
        EmvMacComputation mac;
        if (!EmvComputeMac(in.cipher, in.padding, sk->key, in.data, mac)) {
            return false;
        }
        trace.Note(in.cipher == EmvCipher::Sm4         ? "AC: SM4 MAC"
                   : in.padding == EmvPadding::Method1 ? "AC: retail MAC, padding method 1"
                                                       : "AC: retail MAC, padding method 2");
        trace.Value("AC data", in.data);
        TraceMac(trace, in.cipher, "SK", "AC", mac);
        out.ac = mac.mac;
    }
    if (in.arqc) {
        trace.Value("ARQC (card)", *in.arqc);
        if (out.ac) {
            out.arqc_matches = *out.ac == *in.arqc;
            trace.Note(*out.arqc_matches ? "ARQC check: equal" : "ARQC check: different");
        }
    }
    return true;
}

// The ARPC on the card's ARQC, or else on the computed AC, when its key and inputs are there.
bool Arpc(const EmvCryptogramInputs& in, const EmvKeyDerivation& udk,
          const std::optional<EmvKeyDerivation>& sk, EmvCryptogramResults& out) {
    CTrace& trace = out.trace;
    if (!in.arqc && !out.ac) {
        return true;
    }
    const bool card_key = in.arpc_key == EmvArpcKey::CardKey;
    const bool method2 = in.arpc_method == EmvArpcMethod::Method2;
    if (!card_key && !sk) {
        trace.Note("ARPC: not computed, no session key");
        return true;
    }
    if (!method2 && !in.arc) {
        trace.Note("ARPC: not computed, no ARC");
        return true;
    }
    if (method2 && !in.csu) {
        trace.Note("ARPC: not computed, no CSU");
        return true;
    }
    const EmvKey& key = card_key ? udk.key : sk->key;
    const std::array<uint8_t, 8> arqc = in.arqc ? *in.arqc : *out.ac;
    const std::string key_name = card_key ? "UDK" : "SK";
    trace.Note(std::string("ARPC: method ") + (method2 ? "2" : "1") + " with the " + key_name +
               " on the " + (in.arqc ? "card's ARQC" : "computed AC"));
    EmvArpcComputation arpc;
    std::vector<uint8_t> tag91;
    if (method2) {
        if (!EmvArpcMethod2(key, arqc, *in.csu, in.proprietary, arpc)) {
            return false;
        }
        trace.Value("ARQC || CSU || proprietary data", arpc.input);
        TraceMac(trace, in.cipher, key_name, "MAC", arpc.mac);
        trace.Value("ARPC = left 4 bytes", arpc.arpc);
        tag91 = arpc.arpc;
        tag91.insert(tag91.end(), arpc.input.begin() + 8, arpc.input.end());
        trace.Value("Tag 91 = ARPC || CSU || proprietary data", tag91);
    } else {
        EmvArpcMethod1(in.cipher, key, arqc, *in.arc, arpc);
        if (in.cipher == EmvCipher::Tdes) {
            trace.Value("ARQC ^ (ARC || 00..)", arpc.input);
            trace.Value("ARPC = 3DES(" + key_name + ")[...]", arpc.arpc);
        } else {
            trace.Value("(ARQC ^ (ARC || 00..)) || 00 x 8", arpc.input);
            trace.Value("SM4(" + key_name + ")[...]", arpc.output);
            trace.Value("ARPC = left 8 bytes", arpc.arpc,
                        "Note: no published example confirms the SM4 ARPC yet");
        }
        tag91 = arpc.arpc;
        tag91.insert(tag91.end(), in.arc->begin(), in.arc->end());
        trace.Value("Tag 91 = ARPC || ARC", tag91);
    }
    out.arpc = std::move(arpc.arpc);
    out.tag91 = std::move(tag91);
    return true;
}

}  // namespace

std::optional<EmvCryptogramResults> EmvComputeCryptograms(const EmvCryptogramInputs& in) {
    if (HasNoSm4Form(in) || in.proprietary.size() > 8) {
        return std::nullopt;
    }
    EmvCryptogramResults out;
    EmvKeyDerivation udk;
    std::optional<EmvKeyDerivation> sk;
    if (!CardKey(in, out.trace, udk) || !SessionKey(in, udk, out.trace, sk) ||
        !Cryptogram(in, sk, out) || !Arpc(in, udk, sk, out)) {
        return std::nullopt;
    }
    out.udk = udk.key;
    if (sk) {
        out.session_key = sk->key;
    }
    return out;
}
