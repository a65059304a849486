#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "distribution/DistManager.h"
#include "distribution/DistMngrResponseReceiver.h"
#include "platform/core/Clock.h"
#include "setup/io/TavroDigitalInputDefinitions.h"
#include "setup/io/TavroDigitalOutputDefinitions.h"
#include "testing/FakeCommLink.h"
#include "testing/TempDir.h"

namespace {

std::vector<int> Items(const CList<int>& list) { return std::vector<int>(list.begin(), list.end()); }

std::vector<std::string> Items(const CStringList& list)
{
    std::vector<std::string> items;
    for (const CString& text : list)
        items.push_back(std::string(text));
    return items;
}

std::vector<std::pair<int, int>> Items(const CList<CFunctionAndBit>& list)
{
    std::vector<std::pair<int, int>> items;
    for (const CFunctionAndBit& item : list)
        items.emplace_back(item.m_function, item.m_bit);
    return items;
}

const char* const kInputs =
    "[TAVRO SERIES INPUT PINS]\r\nPinIndexCount=3\r\n"
    "PinIndex0=Enable,0, A2 ,PJ3-4,PJ3-5,1-3,7\r\n"
    "PinIndex1=Home Switch,4,P J3-6,5,7\r\n"
    "PinIndex2=Spare,5,5\r\n"
    "[TAVRO SERIES INPUT FUNCTIONS]\r\nFunctionCount=4\r\n"
    "Function0=12,Home,CANDUP,NOPE,G3,D,X\r\n"
    "Function1=5,Limit,no,setactive,g2,D\r\n"
    "Function2=7,Reset,candup,SETACTIVE\r\n"
    "Function3=1,Enable,x,y\r\n";

const char* const kOutputs =
    "[TAVRO SERIES OUTPUT PINS]\r\nPinIndexCount=3\r\n"
    "PinIndex0=Out0,0,10,11\r\nPinIndex1=Out1,1,10,11\r\nPinIndex2=Out2,2,10,11\r\n"
    "[TAVRO SERIES OUTPUT FUNCTIONS]\r\nFunctionCount=2\r\n"
    "Function0=10,Brake\r\nFunction0BitCount=2\r\nFunction0Bit0=1,Out2\r\nFunction0Bit1=3,Fault\r\n"
    "Function1=11,Ready\r\nFunction1BitCount=0\r\n";

struct IoTest : ::testing::Test {
    CString Factory(const std::string& text)
    {
        home.Write("kvfact.ini", text);
        return home.File("kvfact.ini").c_str();
    }
    TempDir home;
};

}  // namespace

TEST_F(IoTest, PinValuesAreReadFieldByField)
{
    CTavroIoPinDefinition pin;
    pin.Parse("Enable,0, A2 ,PJ3-4,PJ3-5,1-3,7");
    EXPECT_EQ(std::string(pin.m_name), "Enable");
    EXPECT_EQ(pin.m_number, 0);
    EXPECT_EQ(pin.m_levelStyle, 2);
    EXPECT_EQ(Items(pin.m_labels), (std::vector<std::string>{"J3-4", "J3-5"}));
    EXPECT_EQ(std::string(pin.GetLabelsText()), "J3-4,J3-5");
    EXPECT_EQ(Items(pin.m_allowedFunctions), (std::vector<int>{1, 2, 3, 7}));
    EXPECT_EQ(std::string(pin.GetStateText(1)), "ON");
    pin.Parse("Home,,,4,P J3-6");
    EXPECT_EQ(std::string(pin.m_name), "Home") << "a run of commas is one separator";
    EXPECT_EQ(pin.m_number, 4);
    EXPECT_EQ(Items(pin.m_labels), (std::vector<std::string>{" J3-6"}));
    pin.m_levelStyle = 1;
    EXPECT_EQ(std::string(pin.GetStateText(0)), "LOW");
    pin.m_levelStyle = 9;
    EXPECT_EQ(std::string(pin.GetStateText(0)), "<ERROR>");
    pin.Parse("Wide,1,1-100000");
    EXPECT_EQ(pin.m_allowedFunctions.GetCount(), 255) << "function numbers are one byte";
    EXPECT_EQ(StateWordBit(31), 0x80000000u);
    EXPECT_EQ(StateWordBit(32), 0u);
    EXPECT_EQ(StateWordBit(-1), 0u);
}

TEST_F(IoTest, FunctionsTakeTheirFlagsAndStatusBits)
{
    CTavroDigitalInputDefinitions inputs;
    ASSERT_EQ(inputs.LoadDefinitions(0, Factory(kInputs)), 1) << inputs.m_loadError.GetString();
    const CTavroIoFunctionDefinition* home12 = inputs.m_functions.Find(12);
    ASSERT_NE(home12, nullptr);
    EXPECT_EQ(std::string(home12->m_name), "Home");
    EXPECT_EQ(home12->m_canDuplicate, 1);
    EXPECT_EQ(home12->m_setActive, 0);
    EXPECT_EQ(home12->m_hasStatusBit, 1);
    EXPECT_EQ(home12->m_statusBit, 3);
    EXPECT_EQ(home12->m_shown, 1);
    const CTavroIoFunctionDefinition* limit = inputs.m_functions.Find(5);
    EXPECT_EQ(limit->m_canDuplicate, 0);
    EXPECT_EQ(limit->m_setActive, 1) << "case is ignored in the flag fields";
    EXPECT_EQ(limit->m_hasStatusBit, 0) << "but not in the G field";
    EXPECT_EQ(limit->m_shown, 1);
    EXPECT_EQ(inputs.m_functions.Find(7)->m_canDuplicate, 1);
    EXPECT_EQ(inputs.LoadDefinitions(2, Factory(kInputs)), 0) << "no such variant";

    CTavroDigitalOutputDefinitions outputs;
    ASSERT_EQ(outputs.LoadDefinitions(0, Factory(kOutputs)), 1) << outputs.m_loadError.GetString();
    const CTavroIoFunctionDefinition* brake = outputs.m_functions.Find(10);
    EXPECT_EQ(std::string(brake->FormatName(3)), "Brake:Fault");
    EXPECT_EQ(std::string(brake->FormatName(2)), "Brake:<Unknown>");
    EXPECT_EQ(std::string(outputs.m_functions.Find(11)->FormatName(0)), "Ready") << "bit count 0: no named bits";
    int bit = 7;
    EXPECT_EQ(outputs.FindFunctionByName("Brake:Out2", &bit), brake);
    EXPECT_EQ(bit, 1);
    EXPECT_EQ(outputs.FindFunctionByName("Brake:out2", &bit), brake);
    EXPECT_EQ(bit, -1);
    EXPECT_EQ(outputs.FindFunctionByName("brake"), nullptr);
    int position = -1;
    EXPECT_NE(outputs.FindPinByName("Out2", &position), nullptr);
    EXPECT_EQ(position, 2);
}

TEST_F(IoTest, AFailedLoadKeepsThePreviousDefinitions)
{
    CTavroDigitalInputDefinitions inputs;
    ASSERT_EQ(inputs.LoadDefinitions(0, Factory(kInputs)), 1);
    struct Case {
        const char* what;
        std::string text;
    };
    const std::string pins = "[TAVRO SERIES INPUT PINS]\r\nPinIndexCount=1\r\nPinIndex0=A,0,1\r\n";
    const Case cases[] = {
        {"no pin count", "[TAVRO SERIES INPUT PINS]\r\nPinIndex0=A,0,1\r\n"},
        {"no function count", pins + "[TAVRO SERIES INPUT FUNCTIONS]\r\n"},
        {"number and name only", pins + "[TAVRO SERIES INPUT FUNCTIONS]\r\nFunctionCount=1\r\nFunction0=1,Enable\r\n"},
        {"missing function", pins + "[TAVRO SERIES INPUT FUNCTIONS]\r\nFunctionCount=2\r\nFunction0=1,E,C,S\r\n"},
        {"one number twice", pins + "[TAVRO SERIES INPUT FUNCTIONS]\r\nFunctionCount=2\r\nFunction0=1,E,C,S\r\n"
                                    "Function1=1,F,C,S\r\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(inputs.LoadDefinitions(0, Factory(c.text)), 0) << c.what;
        EXPECT_FALSE(inputs.m_loadError.IsEmpty()) << c.what;
        EXPECT_EQ(inputs.m_pins.GetSize(), 3) << c.what;
        EXPECT_EQ(inputs.m_functions.GetCount(), 4) << c.what;
        EXPECT_EQ(inputs.m_functions.m_order.GetCount(), 4) << c.what;
    }
    CTavroDigitalOutputDefinitions outputs;
    EXPECT_EQ(outputs.LoadDefinitions(0, Factory("[TAVRO SERIES OUTPUT PINS]\r\nPinIndexCount=0\r\n"
                                                 "[TAVRO SERIES OUTPUT FUNCTIONS]\r\nFunctionCount=1\r\nFunction0=3,X\r\n")),
              0)
        << "an output function needs its bit count";

    // A reload with fewer pins drops the connections of the pins that are gone.
    ASSERT_TRUE(inputs.AddConnection(2, 0, 5));
    ASSERT_EQ(inputs.LoadDefinitions(0, Factory(pins + "[TAVRO SERIES INPUT FUNCTIONS]\r\nFunctionCount=1\r\n"
                                                       "Function0=5,Limit,C,S\r\n")),
              1);
    EXPECT_FALSE(inputs.IsPinConnected(2));
    EXPECT_TRUE(inputs.m_connections.IsEmpty());
}

TEST_F(IoTest, ConnectionRules)
{
    CTavroDigitalInputDefinitions inputs;
    ASSERT_EQ(inputs.LoadDefinitions(0, Factory(kInputs)), 1);
    EXPECT_FALSE(inputs.CanConnect(0, 5, 0)) << "5 is not allowed on pin 0";
    const DWORD key = inputs.AddConnection(1, 0, 5);
    ASSERT_EQ(key, CTavroIoDefinitions::ConnectionKey(5, 0, 1));
    EXPECT_EQ(inputs.GetConnectionLevel(5, 1, 0), 1);
    EXPECT_FALSE(inputs.CanConnect(2, 5, 0)) << "5 cannot duplicate";
    EXPECT_EQ(inputs.AddConnection(2, 0, 5), 0u);
    CList<CFunctionAndBit> offers;
    inputs.GetAvailableFunctions(1, 5, offers);
    EXPECT_EQ(Items(offers), (std::vector<std::pair<int, int>>{{5, 0}, {7, 0}})) << "the pin's own function stays on offer";
    offers.RemoveAll();
    inputs.GetAvailableFunctions(2, 0, offers);
    EXPECT_TRUE(offers.IsEmpty());
    EXPECT_NE(inputs.AddConnection(0, 0, 7), 0u);
    EXPECT_NE(inputs.AddConnection(1, 0, 7), 0u) << "7 can duplicate";

    // Replacing a pin's connection: refused by the rules, the old one stays.
    inputs.SetConnectionLevel(5, 1, 0, 0);
    EXPECT_EQ(inputs.ReplacePinConnection(1, 12, 0), 0u) << "12 is not allowed on pin 1";
    CList<CFunctionAndBit> pin1;
    inputs.GetPinFunctions(1, pin1);
    EXPECT_EQ(Items(pin1), (std::vector<std::pair<int, int>>{{5, 0}, {7, 0}}));
    EXPECT_EQ(inputs.GetConnectionLevel(5, 1, 0), 0);
    EXPECT_NE(inputs.ReplacePinConnection(1, 7, 0), 0u);
    pin1.RemoveAll();
    inputs.GetPinFunctions(1, pin1);
    EXPECT_EQ(Items(pin1), (std::vector<std::pair<int, int>>{{7, 0}}));

    CTavroDigitalOutputDefinitions outputs;
    ASSERT_EQ(outputs.LoadDefinitions(0, Factory(kOutputs)), 1);
    EXPECT_EQ(outputs.AddConnection(0, -1, 10), 0u) << "Brake named without a known bit";
    EXPECT_EQ(outputs.AddConnection(0, 2, 10), 0u) << "bit 2 is not one of Brake's";
    EXPECT_EQ(outputs.AddConnection(0, -1, 11), CTavroIoDefinitions::ConnectionKey(11, 0, 0)) << "Ready takes bit 0";
}

namespace {

// The definitions' exchange through a distribution manager on a fake link and a frozen clock.
struct IoTransferTest : IoTest {
    IoTransferTest()
    {
        kvtest::FreezeClock(7000000);
        CDistManager::Install(&manager);
    }
    ~IoTransferTest() override
    {
        receiver.CancelAllQueries();
        CDistManager::Install(nullptr);
        kvtest::ThawClock();
    }
    void Run(int ms)
    {
        for (int i = 0; i < ms; ++i) {
            kvtest::AdvanceClock(1);
            manager.ExecCycle();
        }
    }
    // Answers what was submitted and feeds every answer to the definitions; their results.
    std::vector<int> Results(CTavroIoDefinitions& definitions, WORD error = 0)
    {
        Run(2);
        link.AnswerAllSubmitted(error);
        Run(2);
        std::vector<int> results;
        CAmpResponseToGui response;
        while (receiver.GetNextResponse(response))
            results.push_back(definitions.OnPinAssignmentResponse(response));
        return results;
    }
    int Exchange(CTavroIoDefinitions& definitions) { return Results(definitions).back(); }

    FakeCommLink link;
    CDistManager manager{&link};
    CDistMngrResponseReceiver receiver;
};

}  // namespace

TEST_F(IoTransferTest, OutputPinWordsReadAndWriteBack)
{
    CTavroDigitalOutputDefinitions outputs;
    ASSERT_EQ(outputs.LoadDefinitions(0, Factory(kOutputs)), 1);
    link.m_registers[{1, CTavroDigitalOutputDefinitions::kPinValueParameter, 2}] = 0x0A07;
    link.m_registers[{1, CTavroDigitalOutputDefinitions::kPinValueParameter, 0}] = 0x0B01;
    ASSERT_EQ(outputs.RequestPinAssignments(1, receiver), 1);
    EXPECT_EQ(outputs.m_transferState, CTavroIoDefinitions::kReceiving);
    EXPECT_EQ(Exchange(outputs), 2);
    EXPECT_EQ(outputs.m_transferState, CTavroIoDefinitions::kIdle);
    EXPECT_EQ(outputs.m_lastTransfer, CTavroIoDefinitions::kReceiving);
    CList<CFunctionAndBit> pin2;
    outputs.GetPinFunctions(2, pin2);
    EXPECT_EQ(Items(pin2), (std::vector<std::pair<int, int>>{{10, 3}}));
    EXPECT_EQ(outputs.GetConnectionLevel(10, 2, 3), 1);
    EXPECT_FALSE(outputs.IsPinConnected(1));

    outputs.SetConnectionLevel(11, 0, 0, 2);  // only bit 0 of a level reaches the drive
    const size_t before = link.Submitted().size();
    ASSERT_EQ(outputs.WritePinAssignments(1, receiver), 1);
    Run(2);
    const auto submitted = link.Submitted();
    ASSERT_EQ(submitted.size(), before + 3) << "every pin is written";
    std::vector<LONG> words;
    for (size_t i = before; i < submitted.size(); ++i)
        words.push_back(submitted[i].m_value);
    EXPECT_EQ(words, (std::vector<LONG>{0x0B00, 0, 0x0A07})) << "pin 1 unassigned: 0";
    EXPECT_EQ(Exchange(outputs), 2);
    EXPECT_EQ(outputs.m_lastTransfer, CTavroIoDefinitions::kSending);
}

TEST_F(IoTransferTest, OutputLevelsSurviveAReadAndAnUnchangedSend)
{
    // Pin 0 carries function 11 (no named bits), pin 2 function 10 (named bits).
    const struct {
        LONG pin0, pin2;      // what the drive holds
        LONG sent0, sent2;    // what goes back
    } cases[] = {
        {0x0B02, 0x0A06, 0x0B00, 0x0A06},  // level 0 under a stray bit stays 0
        {0x0B03, 0x0A07, 0x0B01, 0x0A07},
        {0x0B00, 0x0A06, 0x0B00, 0x0A06},
        {0x0B01, 0x0A07, 0x0B01, 0x0A07},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pin0);
        CTavroDigitalOutputDefinitions outputs;
        ASSERT_EQ(outputs.LoadDefinitions(0, Factory(kOutputs)), 1);
        link.m_registers[{1, CTavroDigitalOutputDefinitions::kPinValueParameter, 0}] = c.pin0;
        link.m_registers[{1, CTavroDigitalOutputDefinitions::kPinValueParameter, 2}] = c.pin2;
        ASSERT_EQ(outputs.RequestPinAssignments(1, receiver), 1);
        ASSERT_EQ(Exchange(outputs), 2);
        const size_t before = link.Submitted().size();
        ASSERT_EQ(outputs.WritePinAssignments(1, receiver), 1);
        Run(2);
        const auto submitted = link.Submitted();
        ASSERT_EQ(submitted.size(), before + 3);
        EXPECT_EQ(submitted[before].m_value, c.sent0);
        EXPECT_EQ(submitted[before + 2].m_value, c.sent2);
        EXPECT_EQ(Exchange(outputs), 2);
    }
}

TEST_F(IoTransferTest, InputRepliesRejectErrorsAndIdleness)
{
    CTavroDigitalInputDefinitions inputs;
    ASSERT_EQ(inputs.LoadDefinitions(0, Factory(kInputs)), 1);
    CAmpResponseToGui stray;
    stray.m_code = CTavroDigitalInputDefinitions::kPinValueParameter;
    EXPECT_EQ(inputs.OnPinAssignmentResponse(stray), -2) << "no transfer running";
    stray.m_code = 1234;
    EXPECT_EQ(inputs.OnPinAssignmentResponse(stray), 0) << "not the pin parameter";

    const WORD param = CTavroDigitalInputDefinitions::kPinValueParameter;
    link.m_registers[{1, param, 0}] = 0x0001;  // function 0: unassigned whatever bit 0 holds
    link.m_registers[{1, param, 1}] = 0x0500;  // Limit, level 0
    link.m_registers[{1, param, 2}] = 0x0501;  // Limit again: it cannot duplicate
    ASSERT_EQ(inputs.RequestPinAssignments(1, receiver), 1);
    EXPECT_EQ(Exchange(inputs), 2);
    EXPECT_FALSE(inputs.IsPinConnected(0));
    EXPECT_EQ(inputs.GetConnectionLevel(5, 1, 0), 0);
    EXPECT_TRUE(inputs.IsPinRejected(2));
    EXPECT_FALSE(inputs.IsPinRejected(1));

    ASSERT_EQ(inputs.RequestPinAssignments(1, receiver), 1);
    EXPECT_EQ(Results(inputs, 32), (std::vector<int>{-1, -2, -2})) << "a drive error ends the transfer";
    EXPECT_EQ(inputs.m_transferState, CTavroIoDefinitions::kIdle);
}
