// keywright-cli driven as a user drives it: the real binary, its output streams and exit status.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "pages/page_registry.h"

namespace {

struct CliRun {
    std::string out;
    std::string err;
    int status = -1;
};

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

std::string Quote(const std::string& arg) {
    std::string quoted = "'";
    for (const char ch : arg) {
        quoted += ch == '\'' ? std::string("'\\''") : std::string(1, ch);
    }
    return quoted + "'";
}

// RunCli runs keywright-cli with the arguments, feeding `input` on standard input.
CliRun RunCli(const std::vector<std::string>& args, const std::string& input = "") {
    // Each test runs in a process of its own, possibly beside others: the files carry the pid.
    const std::string base =
        ::testing::TempDir() + "keywright_cli_test_" + std::to_string(getpid());
    std::ofstream(base + ".in", std::ios::binary) << input;
    std::string command = Quote(KEYWRIGHT_CLI);
    for (const std::string& arg : args) {
        command += " " + Quote(arg);
    }
    command +=
        " < " + Quote(base + ".in") + " > " + Quote(base + ".out") + " 2> " + Quote(base + ".err");
    const int raw = std::system(command.c_str());
    CliRun run{ReadFile(base + ".out"), ReadFile(base + ".err"), -1};
    if (raw != -1 && WIFEXITED(raw)) {
        run.status = WEXITSTATUS(raw);
    }
    return run;
}

TEST(Cli, PrintsTheResultFieldOfAnAction) {
    const CliRun run =
        RunCli({"des", "encrypt", "--key", "0123456789ABCDEF", "--data", "11 22 33"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    // openssl enc -des-ecb -K 0123456789ABCDEF -nopad of 11 22 33 80 00 00 00 00.
    EXPECT_EQ(run.out, "59F60CCE5E87F35A\n");
}

TEST(Cli, ARefusalGoesToStandardErrorWithStatusOne) {
    const CliRun run = RunCli({"des", "encrypt", "--data", "112"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "Encrypt Data should be even , and not be odd , Pls Check !!!\n");
}

TEST(Cli, UsageErrorsExitWithTwoAndOneLine) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"nosuchpage", "encrypt"},
        {"des"},
        {"des", "frobnicate"},
        {"des", "encrypt", "--mode", "ofb"},
        {"des", "encrypt", "--mode", "7"},
        {"des", "encrypt", "--nosuchfield", "00"},
        {"des", "encrypt", "--key"},
        {"des", "encrypt", "--iv", "0000000000000000"},  // disabled while ECB is chosen
        {"des", "encrypt", "--result", "00"},            // read-only
        {"des", "encrypt", "--data-file", "/nonexistent/file.hex"},
        {"des", "encrypt", "--data-file", "/"},  // a directory opens but cannot be read
        {"dataop", "compute", "--op", "not", "--src2", "00"},  // disabled for NOT
    };
    for (const auto& args : cases) {
        const CliRun run = RunCli(args);
        std::string joined;
        for (const auto& arg : args) {
            joined += arg + " ";
        }
        EXPECT_EQ(run.status, 2) << joined;
        EXPECT_EQ(run.out, "") << joined;
        // One line, from the program itself (not from the C++ runtime aborting).
        EXPECT_TRUE(run.err.rfind("keywright-cli: ", 0) == 0 || run.err.rfind("usage:", 0) == 0)
            << joined << run.err;
        EXPECT_EQ(run.err.back(), '\n') << joined;
    }
}

TEST(Cli, GesturesApplyInOrderAndAcceptChoiceIndexes) {
    const CliRun by_name =
        RunCli({"des", "encrypt", "--mode", "cbc", "--iv", "0000000000000000", "--data", "00"});
    const CliRun by_index =
        RunCli({"des", "encrypt", "--mode", "1", "--iv", "0000000000000000", "--data", "00"});
    EXPECT_EQ(by_name.status, 0) << by_name.err;
    EXPECT_EQ(by_name.out, by_index.out);
}

TEST(Cli, FieldFilesAndStandardInput) {
    const std::string path =
        ::testing::TempDir() + "keywright_cli_data_" + std::to_string(getpid()) + ".hex";
    std::ofstream(path) << "11 22 33\n";
    const CliRun from_file = RunCli({"des", "encrypt", "--data-file", path});
    const CliRun from_stdin = RunCli({"des", "encrypt", "--data-file", "-"}, "11 22 33\n");
    const CliRun typed = RunCli({"des", "encrypt", "--data", "11 22 33"});
    EXPECT_EQ(from_file.status, 0) << from_file.err;
    EXPECT_EQ(from_file.out, typed.out);
    EXPECT_EQ(from_stdin.out, typed.out);
}

// One trailing line break goes, as in $(cat file); a second one, or one inside, is the page's to
// judge (SM3 refuses a line break as an illegal byte).
TEST(Cli, FieldFilesDropOneTrailingLineBreak) {
    const std::string abc = "66C7F0F462EEEDD9D1F2D46BDC10E4E24167C4875CF2F7A2297DA02B8F4BA8E0\n";
    const struct {
        const char* file;
        int status;
        const char* out;
    } cases[] = {
        {"616263", 0, abc.c_str()}, {"616263\n", 0, abc.c_str()}, {"616263\r\n", 0, abc.c_str()},
        {"616263\n\n", 1, ""},      {"61\n6263\n", 1, ""},
    };
    const CliRun typed_sum = RunCli({"checksum", "compute", "--data", "616263"});
    for (const auto& c : cases) {
        const CliRun hash = RunCli({"sm3", "hash", "--data-file", "-"}, c.file);
        EXPECT_EQ(hash.status, c.status) << c.file << hash.err;
        EXPECT_EQ(hash.out, c.out) << c.file;
        if (c.status == 0) {
            const CliRun sum = RunCli({"checksum", "compute", "--data-file", "-"}, c.file);
            EXPECT_EQ(sum.status, 0) << c.file << sum.err;
            EXPECT_EQ(sum.out, typed_sum.out) << c.file;
        }
    }
}

TEST(Cli, FieldBytesTypesTheHexOfABinaryFile) {
    const std::string path =
        ::testing::TempDir() + "keywright_cli_data_" + std::to_string(getpid()) + ".bin";
    std::ofstream(path, std::ios::binary) << std::string("\x00\xFF\x11", 3);
    // OpenSSL des-ecb of 00 FF 11 80 00 00 00 00 under 0123456789ABCDEF.
    const CliRun from_file = RunCli({"des", "encrypt", "--data-bytes", path});
    const CliRun from_stdin =
        RunCli({"des", "encrypt", "--data-bytes", "-"}, std::string("\x00\xFF\x11", 3));
    EXPECT_EQ(from_file.status, 0) << from_file.err;
    EXPECT_EQ(from_file.out, "9E257F5B3F6CFCC5\n");
    EXPECT_EQ(from_stdin.out, from_file.out);
    EXPECT_EQ(RunCli({"des", "encrypt", "--data-bytes", "/"}).status, 2);
}

TEST(Cli, SeveralWrittenFieldsPrintAsFieldEqualsText) {
    const CliRun run = RunCli({"dataop", "clear", "--src1", "01", "--src2", "02"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "src1=\nsrc2=\nresult=\n");
}

TEST(Cli, JsonHasTheWholeFormAndKeepsRefusalsOffStandardError) {
    const CliRun ok = RunCli({"des", "encrypt", "--data", "1122334455667788", "--json"});
    EXPECT_EQ(ok.status, 0);
    for (const char* part :
         {"{\"page\": \"des\"", "\"action\": \"encrypt\"", "\"message\": null", "\"fields\": {",
          "\"iv\": {\"text\": \"0000000000000000\"", "\"counter\": \"08\"", "\"enabled\": false",
          "\"readonly\": true", "\"options\": {\"keytype\": 0", "\"mode\": 0", "\"spaced\": 1",
          "\"buttons\": {\"encrypt\": {\"caption\": \"加密\", "
          "\"enabled\": true}"}) {
        EXPECT_NE(ok.out.find(part), std::string::npos) << part << "\n" << ok.out;
    }
    const CliRun refused = RunCli({"des", "encrypt", "--json"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "");
    EXPECT_NE(refused.out.find("\"message\": {\"text\": \"Des Key or Encrypt Data can not be null, "
                               "Pls input !!!\", \"caption\": \"Error\", \"icon\": \"error\"}"),
              std::string::npos)
        << refused.out;
}

// Field texts are whatever the user typed or a file held: the JSON escapes what JSON needs and
// turns bytes that are not UTF-8 into U+FFFD, one per byte, so it always parses.
TEST(Cli, JsonStringsAreEscapedAndValidUtf8) {
    const std::string typed =
        std::string("q\"b\\t\tc\x01\x7F 中 \xA0\xFF\xFE \xE4\xB8 \xF0\x9F\x98\x80") + "\nend";
    const CliRun run = RunCli({"tlv", "parse", "--data-file", "-", "--json"}, typed);
    EXPECT_EQ(run.status, 0) << run.err;
    const std::string expected =
        "\"data\": {\"text\": \"q\\\"b\\\\t\\tc\\u0001\\u007f 中 "
        "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD "
        "\xEF\xBF\xBD\xEF\xBF\xBD \xF0\x9F\x98\x80\\r\\nend\"";
    EXPECT_NE(run.out.find(expected), std::string::npos) << run.out;
}

// The TLV page's option `mode` picks the listing; `data` stays the default.
TEST(Cli, TlvModeChoosesTheEmvListing) {
    const CliRun emv =
        RunCli({"tlv", "parse", "--mode", "emv", "--data", "77 04 80 02 AA BB 90 00"});
    EXPECT_EQ(emv.status, 0) << emv.err;
    EXPECT_EQ(emv.out,
              "[77]\t04\t\t响应报文模板格式2\r\n\t[[80]]\t02\tAABB\t响应报文模板格式1\r\n"
              "状态字\t9000\t命令成功执行\r\n\n");
    const CliRun data = RunCli({"tlv", "parse", "--data", "5A 05 11 22"});
    EXPECT_EQ(data.status, 0) << data.err;
    EXPECT_EQ(data.out, "\n");
    const CliRun located = RunCli({"tlv", "parse", "--mode", "1", "--data", "5A 05 11 22"});
    EXPECT_EQ(located.out,
              "错误：偏移 0，标签 5A 的长度超出数据末尾 3 字节\r\n未解析\t5A051122\r\n\n");
    const CliRun help = RunCli({"tlv", "--help"});
    EXPECT_NE(help.out.find("按数据嵌套"), std::string::npos);
    EXPECT_NE(help.out.find("EMV 标准解析"), std::string::npos);
}

TEST(Cli, ListAndHelpDescribeThePages) {
    const CliRun list = RunCli({"--list"});
    EXPECT_EQ(list.status, 0);
    for (const char* part : {"des\tDES 运算", "encrypt (加密)", "keytype: single | double | triple",
                             "dataop\t数据运算", "convert\t数据转换"}) {
        EXPECT_NE(list.out.find(part), std::string::npos) << part;
    }
    const CliRun help = RunCli({"des", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--iv"), std::string::npos);
    EXPECT_NE(help.out.find("default \"0000000000000000\""), std::string::npos);
}

// The manual page and the completion are written from the page models: every page, action,
// option, choice and field of the registry is in both.
TEST(Cli, ManualAndCompletionCoverEveryPage) {
    const CliRun man = RunCli({"--man"});
    const CliRun completion = RunCli({"--completion", "bash"});
    ASSERT_EQ(man.status, 0);
    ASSERT_EQ(completion.status, 0);
    const auto roff = [](std::string text) {
        std::string out;
        for (const char ch : text) {
            out += ch == '-' ? std::string("\\-") : std::string(1, ch);
        }
        return out;
    };
    for (const auto& page : CreatePages()) {
        if (page->Buttons().empty()) {
            continue;
        }
        SCOPED_TRACE(page->Name());
        EXPECT_NE(man.out.find(".SS " + roff(page->Name()) + " "), std::string::npos);
        EXPECT_NE(completion.out.find(" " + page->Name() + ") actions='"), std::string::npos);
        for (const Button& button : page->Buttons()) {
            EXPECT_NE(man.out.find(roff(button.id) + " (" + roff(button.caption) + ")"),
                      std::string::npos)
                << button.id;
        }
        for (const OptionGroup& group : page->Options()) {
            EXPECT_NE(man.out.find("\\-\\-" + roff(group.id) + " ("), std::string::npos);
            EXPECT_NE(completion.out.find(page->Name() + ":--" + group.id + ") choices='"),
                      std::string::npos);
            for (const Choice& choice : group.choices) {
                EXPECT_NE(man.out.find(" " + roff(choice.name)), std::string::npos);
            }
        }
        for (const Field& field : page->Fields()) {
            EXPECT_NE(man.out.find("\\-\\-" + roff(field.id)), std::string::npos) << field.id;
            if (!field.read_only) {
                EXPECT_NE(completion.out.find("--" + field.id + "-bytes"), std::string::npos);
            }
        }
    }
    const CliRun version = RunCli({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("keywright-cli 1.", 0), 0u) << version.out;
}

TEST(Cli, LogWritesTheRecordOfTheActionToStandardError) {
    const CliRun run = RunCli({"des", "encrypt", "--data", "1122334455667788", "--log"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "B4CC3FD9D8D95214\n");
    for (const char* part :
         {"] des encrypt (加密)\n", "  options: keytype=single mode=ecb spaced=no\n",
          "  key: 0123456789ABCDEF\n", "  data: 1122334455667788\n",
          "  => result: B4CC3FD9D8D95214\n"}) {
        EXPECT_NE(run.err.find(part), std::string::npos) << part << run.err;
    }
}

}  // namespace

namespace {

// The EMV page's ARQC check is an outcome on standard output: 0 when the card's ARQC is the one
// computed, 1 when not (values: the PBOC 3DES worked example of the page's start inputs).
TEST(Cli, EmvArqcCheckIsAnOutcomeWithItsStatus) {
    const struct {
        const char* arqc;
        const char* out;
        int status;
    } cases[] = {
        {"5D016C91005E7CC2", "ARQC 验证正确\n", 0},
        {"5D016C91005E7CC3", "ARQC 验证错误\n", 1},
    };
    for (const auto& c : cases) {
        const CliRun run = RunCli({"emv", "compute", "--arqc", c.arqc});
        EXPECT_EQ(run.out, c.out);
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(run.status, c.status);
    }
    const CliRun run = RunCli({"emv", "compute", "--alg", "sm4", "--udk", "b"});
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err,
              "SM4 has no form of UDK Option B, Pls choose 方法A or 主密钥即卡片密钥 !!!\n");
    EXPECT_EQ(run.status, 1);
}

}  // namespace
