// PCP messages on the wire (RFC 6887 sections 7 and 11) and the epoch check.
#include "router/core/PcpMessage.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>

namespace velmora {
namespace {

std::vector<uint8_t> Hex(const std::string& hex)
{
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

TEST(PcpMessage, AMapRequestIsLaidOutAsTheRfcSays)
{
    PcpRequest request;
    request.lifetime = 7200;
    in_addr client{};
    inet_pton(AF_INET, "192.168.77.2", &client);
    request.client = MappedIPv4(client);
    request.nonce = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    request.protocol = PcpProtocolOf("UDP");
    request.internalPort = request.suggestedPort = 3074;
    request.suggestedAddress = MappedIPv4(in_addr{});
    EXPECT_EQ(EncodePcpRequest(request),
              Hex("02010000"
                  "00001c20"
                  "00000000000000000000ffffc0a84d02" // header
                  "0102030405060708090a0b0c"
                  "11000000"
                  "0c020c02"                            // nonce ... ports
                  "00000000000000000000ffff00000000")); // no preference
    request.opcode = PcpOpcode::Announce;
    EXPECT_EQ(EncodePcpRequest(request).size(), 24u) << "an announce is the header alone";
}

TEST(PcpMessage, AnswersAreReadOrRefusedByTheirForm)
{
    const std::string header = "02810000"
                               "00000258"
                               "0000002a"
                               "000000000000000000000000";
    const std::string map = "0102030405060708090a0b0c"
                            "06000000"
                            "4268426a" +
                            std::string("00000000000000000000ffff0b162101");
    PcpAnswer a = DecodePcpAnswer(Hex(header + map).data(), 60);
    EXPECT_EQ(a.form, PcpAnswer::Form::Pcp);
    EXPECT_EQ(a.lifetime, 600u);
    EXPECT_EQ(a.epoch, 42u);
    EXPECT_EQ(a.internalPort, 17000);
    EXPECT_EQ(a.externalPort, 17002);
    EXPECT_TRUE(IsMappedIPv4(a.externalAddress));

    struct Row
    {
        std::string hex;
        PcpAnswer::Form form;
    };
    const Row rows[] = {
        {"00810001"
         "0000002a",
         PcpAnswer::Form::NatPmp},                           // NAT-PMP: unsupported version
        {header.substr(0, 40), PcpAnswer::Form::Unreadable}, // short
        {header + map + "00", PcpAnswer::Form::Unreadable},  // not whole words
        {"02010000" + header.substr(8) + map, PcpAnswer::Form::Unreadable}, // no response bit
        {header, PcpAnswer::Form::Unreadable}, // a granted MAP without its body
    };
    for (const Row& row : rows) {
        const auto bytes = Hex(row.hex);
        EXPECT_EQ(DecodePcpAnswer(bytes.data(), bytes.size()).form, row.form) << row.hex;
    }
}

TEST(PcpMessage, OnlyTheAnswerToTheRequestMatches)
{
    PcpRequest request;
    request.nonce = NewPcpNonce();
    request.protocol = 6;
    request.internalPort = 80;
    PcpAnswer answer;
    answer.form = PcpAnswer::Form::Pcp;
    answer.version = 2;
    answer.opcode = 1;
    answer.nonce = request.nonce;
    answer.protocol = 6;
    answer.internalPort = 80;
    EXPECT_TRUE(PcpAnswerMatches(answer, request));
    EXPECT_NE(NewPcpNonce(), request.nonce);
    for (auto spoil : std::initializer_list<void (*)(PcpAnswer&)>{
             [](PcpAnswer& a) { a.nonce[11] ^= 1; }, [](PcpAnswer& a) { a.version = 3; },
             [](PcpAnswer& a) { a.opcode = 0; }, [](PcpAnswer& a) { a.protocol = 17; },
             [](PcpAnswer& a) { a.internalPort = 81; }}) {
        PcpAnswer spoilt = answer;
        spoil(spoilt);
        EXPECT_FALSE(PcpAnswerMatches(spoilt, request));
    }
}

TEST(PcpMessage, AnEpochThatWentBackOrRanOffOurClockMeansLostMappings)
{
    struct Row
    {
        uint32_t before, now;
        uint64_t elapsed;
        bool lost;
    } rows[] = {
        {1000, 1030, 30, false}, {1000, 999, 0, false},  {1000, 998, 0, true}, // a second of slack
        {1000, 5, 30, true},     {1000, 1000, 60, true}, {1000, 2000, 30, true},
        {1000, 1033, 30, false}, // within 1/16 + 2 s
    };
    for (const Row& r : rows)
        EXPECT_EQ(PcpEpochLost(r.before, r.now, r.elapsed), r.lost) << r.before << "->" << r.now;
}

} // namespace
} // namespace velmora
