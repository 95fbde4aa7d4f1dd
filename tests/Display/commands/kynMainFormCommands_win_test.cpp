// Text commands over TCP: the server is started through the Network page's
// Apply on 127.0.0.1 and driven by real TCP clients; every command's effect
// is checked on the display's state (and a few on its pixels).
#include "Display/kynMainFormGUI.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <random>
#include <thread>

#include "Display/kynControllerFormGUI.h"
#include "Display/kynExternalCommandControlTestFormGUI.h"
#include "Display/kynExternalCommands.h"
#include "Display/kynResourceManager.h"
#include "tests/Display/display_form_fixture.h"
#include "tests/support/win_process_windows.h"
#include "tests/support/win_screenshot.h"
#include "tests/support/win_tcp_client.h"
#include "tests/support/win_test_app.h"

namespace kyn {
namespace {

using fw::test::FreeLoopbackPort;
using fw::test::PumpUntil;
using fw::test::TcpClient;

using test::FramePixel;
using test::Near;
using test::Pixel;

void Apply(const std::wstring& ip, const std::wstring& port) {
    kynControllerForm->KelEdit1->SetText(ip);
    kynControllerForm->KelEdit2->SetText(port);
    kynControllerForm->KelGlowButton13Click();
}

class Commands : public test::DisplayForm {
protected:
    static int Port() {
        static int port = 0;
        if (!port) {
            port = FreeLoopbackPort();
            Apply(L"127.0.0.1", std::to_wstring(port));
        }
        return port;
    }
    unsigned long Executed() { return form_->CommandHandOver().Executed(); }
    // Sends the bytes and lets the GUI thread run until `lines` more lines ran.
    void Send(TcpClient& client, const std::string& bytes, unsigned long lines = 1) {
        const unsigned long before = Executed();
        ASSERT_TRUE(client.Send(bytes));
        ASSERT_TRUE(PumpUntil([&] { return Executed() >= before + lines; }));
    }
    // Counts the model's changes of one kind.
    struct ChangeCounter {
        ChangeCounter(TkynDisplayModel& m, TModelChange kind) : model(m) {
            id = model.Subscribe([this, kind](TModelChange c) { count += c == kind; });
        }
        ~ChangeCounter() { model.Unsubscribe(id); }
        TkynDisplayModel& model;
        int id = 0;
        int count = 0;
    };
};

TEST_F(Commands, ApplyListensOnceAndRefusesBadPorts) {
    const int port = Port();
    auto& server = *form_->IdTCPServer1;
    EXPECT_TRUE(server.Active());
    ASSERT_EQ(server.Bindings().size(), 1u);
    EXPECT_EQ(server.Bindings()[0], (fw::net::TSocketBinding{L"127.0.0.1", port}));
    EXPECT_EQ(model_.Settings().ServerIP, L"127.0.0.1");
    EXPECT_EQ(model_.Settings().ServerPort, port);
    // The same binding again adds none.
    Apply(L"127.0.0.1", std::to_wstring(port));
    EXPECT_EQ(server.Bindings().size(), 1u);
    const struct {
        const wchar_t* port;
        const wchar_t* message;
    } rows[] = {
        {L"abc", L"'abc' is not a valid integer value"},
        {L"70000", L"'70000' is not a port number (1 to 65535)"},  // not its low 16 bits (4464)
        {L"0", L"'0' is not a port number (1 to 65535)"},
        {L"-1", L"'-1' is not a port number (1 to 65535)"},
    };
    for (const auto& row : rows) {
        try {
            Apply(L"127.0.0.2", row.port);
            ADD_FAILURE() << "no error";
        } catch (const fw::EConvertError& e) {
            EXPECT_EQ(e.Message(), row.message);
        }
        // The IP is stored before the port is read; the port is not.
        EXPECT_EQ(model_.Settings().ServerIP, L"127.0.0.2");
        EXPECT_EQ(model_.Settings().ServerPort, port);
        EXPECT_EQ(server.Bindings().size(), 1u);
    }
    Apply(L"127.0.0.1", std::to_wstring(port));
    TcpClient client(port);
    EXPECT_TRUE(client.Connected());
}

TEST_F(Commands, EveryWordTakesEffect) {
    TcpClient client(Port());
    ASSERT_TRUE(client.Connected());
    const TSweepState& sweep = model_.Sweep();
    const TGeneralSettings& settings = model_.Settings();
    auto run = [&](const char* line) { Send(client, std::string(line) + "\n"); };

    run("SetStepMode");
    EXPECT_EQ(sweep.SweepMode, TSweepMode::smStep);
    const int pos = sweep.SweepPos;
    run("MakeNextStep");
    EXPECT_EQ(sweep.SweepPos, pos + 1);
    run("StepModeDirection2");
    EXPECT_EQ(sweep.StepDirection, 2);
    run("MakeNextStep");
    EXPECT_EQ(sweep.SweepPos, pos);
    run("StepModeDirection1");
    EXPECT_EQ(sweep.StepDirection, 1);
    run("SetContinuosMode");
    EXPECT_EQ(sweep.SweepMode, TSweepMode::smContinuous);
    model_.SetSweepPos(30);
    run("ResetScanLine");
    EXPECT_EQ(sweep.SweepPos, StartEdge(240));

    run("HideScanLine");
    EXPECT_FALSE(sweep.ScanLineVisible);
    run("ShowScanLine");
    EXPECT_TRUE(sweep.ScanLineVisible);
    run("ShowCrossHairs");
    EXPECT_TRUE(sweep.CrossHairsOn);
    run("HideCrossHairs");
    EXPECT_FALSE(sweep.CrossHairsOn);
    {
        ChangeCounter figure(model_, TModelChange::Figure);
        run("HideGrid");  // hidden already: nothing changes
        EXPECT_EQ(figure.count, 0);
        run("ShowGrid");
        run("ShowGrid");
        EXPECT_TRUE(sweep.GridOn);
        EXPECT_EQ(figure.count, 1);
    }
    run("HideGrid");
    EXPECT_FALSE(sweep.GridOn);
    {
        ChangeCounter paused(model_, TModelChange::Paused);
        run("PauseScanLine");
        run("PauseScanLine");
        EXPECT_TRUE(sweep.Paused);
        EXPECT_EQ(paused.count, 1);
        run("ResumeScanLine");
        EXPECT_FALSE(sweep.Paused);
    }

    run("LeftRightSweep");
    EXPECT_EQ(settings.SweepDirection, common::sdLeftRight);
    run("TopDownSweep");
    EXPECT_EQ(settings.SweepDirection, common::sdTopDown);

    run("FullScreen");
    EXPECT_EQ(form_->ScreenMode, TScreenMode::FullScreen);
    run("FullScreen");
    EXPECT_EQ(form_->ScreenMode, TScreenMode::FullScreen);
    run("NormalScreen");
    EXPECT_EQ(form_->ScreenMode, TScreenMode::Normal);

    // Start delay and reset act on -1 only; 0 (no settings read) stays.
    model_.SetRunOptions(0, 0);
    run("AddStartDelay");
    run("ResetScanLineBeforeRun");
    EXPECT_EQ(settings.StartDelayOn, 0);
    EXPECT_EQ(settings.ResetBeforeRun, 0);
    run("NoStartDelay");
    run("NoResetScanLinePositionBeforeRun");
    EXPECT_EQ(settings.StartDelayOn, 0);
    EXPECT_EQ(settings.ResetBeforeRun, 0);
    model_.SetRunOptions(-1, -1);
    run("AddStartDelay");
    run("ResetScanLineBeforeRun");
    EXPECT_EQ(settings.StartDelayOn, 1);
    EXPECT_EQ(settings.ResetBeforeRun, 1);
    run("NoStartDelay");
    run("NoResetScanLinePositionBeforeRun");
    EXPECT_EQ(settings.StartDelayOn, -1);
    EXPECT_EQ(settings.ResetBeforeRun, -1);

    // Colours are pure and keep the contrasts.
    model_.SetBackgroundColour({0, 0, 0, common::ccBlack, 0.25});
    model_.SetLineColour({0, 1, 0, common::ccGreen, 0.5});
    const struct {
        const char* line;
        TDisplayColour background, line_colour;
    } colours[] = {
        {"BackgroundColorWhite", {1, 1, 1, common::ccWhite, 0.25}, {0, 1, 0, common::ccGreen, 0.5}},
        {"BackgroundColorGreen", {0, 1, 0, common::ccGreen, 0.25}, {0, 1, 0, common::ccGreen, 0.5}},
        {"ScanLineBlack", {0, 1, 0, common::ccGreen, 0.25}, {0, 0, 0, common::ccBlack, 0.5}},
        {"ScanLineWhite", {0, 1, 0, common::ccGreen, 0.25}, {1, 1, 1, common::ccWhite, 0.5}},
        {"BackgroundColorBlack", {0, 0, 0, common::ccBlack, 0.25}, {1, 1, 1, common::ccWhite, 0.5}},
        {"ScanLineGreen", {0, 0, 0, common::ccBlack, 0.25}, {0, 1, 0, common::ccGreen, 0.5}},
    };
    for (const auto& row : colours) {
        run(row.line);
        EXPECT_EQ(settings.BackgroundColour, row.background) << row.line;
        EXPECT_EQ(settings.LineColour, row.line_colour) << row.line;
    }

    // Words that only name a value, and "Test", change nothing.
    {
        const TGeneralSettings before = settings;
        const TSweepState sweep_before = sweep;
        for (const char* line : {"LineThickness", "GridSize", "SweepRate", "Test", "NumericalCommand MakeNextStep 9",
                                 "NumericalCommand Speed 9", "Nonsense"})
            run(line);
        EXPECT_EQ(settings, before);
        EXPECT_EQ(sweep.SweepPos, sweep_before.SweepPos);
        EXPECT_EQ(sweep.GridOn, sweep_before.GridOn);
    }

    Boxes().clear();
    run("Connected");
    EXPECT_EQ(Boxes(), std::vector<std::wstring>{L"Connected"});
    EXPECT_EQ(BoxKinds().back(), common::TMessageBoxKind::Plain);

    // The sweep runs again since ResumeScanLine, and its next frame (or a
    // paint after the screen-mode changes) serves the run at once, maybe
    // before the line counts as done: record the request as it is made.
    std::vector<bool> requested;
    const int id = model_.Subscribe([&](TModelChange c) {
        if (c == TModelChange::RunRequest) requested.push_back(sweep.RunRequested);
    });
    run("Run");
    model_.Unsubscribe(id);
    ASSERT_FALSE(requested.empty());
    EXPECT_TRUE(requested.front());
    model_.RunServed();
}

TEST_F(Commands, CommandsShowOnTheScreen) {
    TcpClient client(Port());
    Send(client, "NumericalCommand LineThickness 3\nBackgroundColorWhite\nScanLineBlack\n", 3);
    model_.SetSweepPos(10);
    form_->FormPaint();
    EXPECT_TRUE(Near(FramePixel(100, 60), 255, 255, 255));
    EXPECT_TRUE(Near(FramePixel(100, 130), 26, 26, 26));
    Send(client, "HideScanLine\n");
    form_->FormPaint();
    EXPECT_TRUE(Near(FramePixel(100, 130), 255, 255, 255));
    Send(client, "BackgroundColorGreen\n");
    form_->FormPaint();
    const Pixel green = FramePixel(100, 60);
    EXPECT_TRUE(Near(green, 0, 255, 0)) << green.r << " " << green.g << " " << green.b;
    // The grid is drawn in black on white.
    Send(client, "ShowGrid\n");
    form_->FormPaint();
    EXPECT_TRUE(Near(FramePixel(100, 60), 255, 255, 255));
    bool grid_line = false;
    for (int x = 0; x < 40 && !grid_line; ++x) grid_line = FramePixel(x, 100).r < 40;
    EXPECT_TRUE(grid_line);
}

// "Connected" shows a modal box; lines from other connections wait until it
// is closed instead of running inside its message loop.
TEST_F(Commands, NoLineRunsInsideTheConnectedBox) {
    TcpClient first(Port()), second(Port());
    bool grid_inside = true;
    common::SetMessageBoxHandler([&](common::TMessageBoxKind, const std::wstring&) {
        // The box's own message loop, while the second line arrives.
        const unsigned long before = Executed();
        EXPECT_TRUE(second.Send("ShowGrid\n"));
        PumpUntil([] { return false; }, 500);
        grid_inside = model_.Sweep().GridOn;
        EXPECT_EQ(Executed(), before);
    });
    Send(first, "Connected\n", 2);
    common::SetMessageBoxHandler([](common::TMessageBoxKind kind, const std::wstring& text) {
        Boxes().push_back(text), BoxKinds().push_back(kind);
    });
    EXPECT_FALSE(grid_inside);
    EXPECT_TRUE(model_.Sweep().GridOn);
}

TEST_F(Commands, LineEndsAndCase) {
    TcpClient client(Port());
    Send(client, "Run \n");
    EXPECT_FALSE(model_.Sweep().RunRequested);
    Send(client, "Run\r\n");
    EXPECT_TRUE(model_.Sweep().RunRequested);
    model_.RunServed();
    Send(client, "Run\n");
    EXPECT_TRUE(model_.Sweep().RunRequested);
    model_.RunServed();
    Send(client, "SETSTEPMODE\n");
    EXPECT_EQ(model_.Sweep().SweepMode, TSweepMode::smStep);
    Send(client, "showgrid\r\n");
    EXPECT_TRUE(model_.Sweep().GridOn);
    const int rate = model_.Settings().SweepRate;
    Send(client, "numericalcommand SweepRate 250\n");
    EXPECT_EQ(model_.Settings().SweepRate, rate == 250 ? 250 : rate);
    Send(client, "NumericalCommand sweeprate 250\n");
    EXPECT_EQ(model_.Settings().SweepRate, 250);
    EXPECT_EQ(form_->dpLineSweep->Interval(), 751u);
    Send(client, "NumericalCommand SweepRate 400\r\n");
    EXPECT_EQ(model_.Settings().SweepRate, 400);
}

TEST_F(Commands, FailedValueFormsCloseOnlyTheirConnection) {
    TcpClient other(Port());
    const char* rows[] = {"NumericalCommand\n", "NumericalCommand LineThickness\n", "NumericalCommand GridSize x\n",
                          "NumericalCommand SweepRate 12abc\n"};
    int thickness = 2;
    for (const char* bad : rows) {
        TcpClient client(Port());
        Send(client, "NumericalCommand LineThickness " + std::to_string(thickness) + "\n" + bad, 2);
        // The change before the failure stays.
        EXPECT_EQ(model_.Settings().LineThickness, thickness) << bad;
        EXPECT_TRUE(client.ClosedByServer(5000)) << bad;
        thickness = thickness % 8 + 1;
        Send(other, "NumericalCommand LineThickness " + std::to_string(thickness) + "\n");
        EXPECT_EQ(model_.Settings().LineThickness, thickness);
    }
    EXPECT_FALSE(other.ClosedByServer(20));
}

TEST_F(Commands, TwoClientsInterleaveLineByLine) {
    std::vector<int> rates;
    const int id = model_.Subscribe([&](TModelChange c) {
        if (c == TModelChange::SweepRate) rates.push_back(model_.Settings().SweepRate);
    });
    model_.SetSweepRate(1000);
    rates.clear();
    constexpr int kLines = 200;
    auto sender = [](int first) {
        TcpClient client(Port());
        std::string bytes;
        for (int i = 0; i < kLines; ++i) bytes += "NumericalCommand SweepRate " + std::to_string(first + 2 * i) + "\n";
        // Line by line, so the two really interleave.
        for (size_t at = 0, next; at < bytes.size(); at = next) {
            next = bytes.find('\n', at) + 1;
            if (!client.Send(bytes.substr(at, next - at))) return;
        }
        client.ClosedByServer(100);
    };
    const unsigned long before = Executed();
    std::thread odd(sender, 1), even(sender, 2);
    EXPECT_TRUE(PumpUntil([&] { return Executed() >= before + 2 * kLines; }, 30000));
    odd.join();
    even.join();
    model_.Unsubscribe(id);
    ASSERT_EQ(rates.size(), static_cast<size_t>(2 * kLines));
    int next_odd = 1, next_even = 2, switches = 0;
    for (size_t i = 0; i < rates.size(); ++i) {
        int& next = rates[i] % 2 ? next_odd : next_even;
        EXPECT_EQ(rates[i], next);
        next += 2;
        switches += i > 0 && rates[i] % 2 != rates[i - 1] % 2;
    }
    EXPECT_EQ(next_odd, 1 + 2 * kLines);
    EXPECT_EQ(next_even, 2 + 2 * kLines);
    std::printf("the two clients' lines switched %d times\n", switches);
}

// 100 clients send 1,000 lines each while others send a 10 MB line, random
// bytes, half-open connections or vanish; no good line is lost or reordered,
// only the offenders are closed, and the display keeps drawing.
TEST_F(Commands, LoadAndBadInput) {
    constexpr int kClients = 100, kLines = 1000, kRange = 650;  // 100 x 650 grid sizes fit 1..65536
    std::vector<std::vector<int>> seen(kClients);
    model_.SetGridSpacing(65536);
    const int id = model_.Subscribe([&](TModelChange c) {
        if (c != TModelChange::GridSpacing) return;
        const int v = model_.Settings().GridSpacing - 1;
        seen[static_cast<size_t>(v / kRange)].push_back(v % kRange);
    });
    form_->zuForceRepaint->SetEnabled(true);
    const unsigned long frames0 = form_->FramesDrawn();
    const unsigned long before = Executed();
    const int port = Port();
    std::atomic<int> failed_sends{0};
    std::vector<std::thread> threads;
    std::atomic<size_t> finished{0};
    for (int c = 0; c < kClients; ++c) {
        threads.emplace_back([&, c] {
            TcpClient client(port);
            std::string bytes;
            for (int i = 0; i < kLines; ++i)
                bytes += "NumericalCommand GridSize " + std::to_string(c * kRange + i % kRange + 1) + (i % 2 ? "\r\n" : "\n");
            if (!client.Send(bytes)) ++failed_sends;
            client.ClosedByServer(50);
            ++finished;
        });
    }
    // Offenders, and a client of random bytes that stays.
    std::atomic<int> offenders_closed{0};
    std::atomic<bool> random_open{false};
    threads.emplace_back([&] {
        TcpClient huge(port);
        huge.Send(std::string(10 * 1024 * 1024, 'A'));  // stops when the server closes
        offenders_closed += huge.ClosedByServer(20000);
        ++finished;
    });
    threads.emplace_back([&] {
        TcpClient random(port);
        std::mt19937 rng(29);
        std::string bytes;
        for (int i = 0; i < 10000; ++i) {
            const size_t n = rng() % 200;
            for (size_t k = 0; k < n; ++k) {
                char b = static_cast<char>(rng());
                bytes += b == '\n' ? ' ' : b;
            }
            bytes += '\n';
        }
        random.Send(bytes);
        random_open = !random.ClosedByServer(500);
        ++finished;
    });
    for (int k = 0; k < 10; ++k) {
        threads.emplace_back([&] {
            TcpClient half(port);
            half.Send("ShowGr");
            half.ShutdownSend();
            offenders_closed += half.ClosedByServer(20000);
            ++finished;
        });
        threads.emplace_back([&, k] {
            TcpClient vanish(port);
            if (k % 2) vanish.Abort();
            ++finished;
        });
    }
    const unsigned long random_lines = 10000;
    // Each line repaints a panel control: about 45 s of GUI time here, and a
    // slow two-core machine needs several times that.
    EXPECT_TRUE(PumpUntil([&] { return Executed() >= before + kClients * kLines + random_lines; }, 400000));
    // The GUI thread keeps running while the clients finish.
    EXPECT_TRUE(PumpUntil([&] { return finished == threads.size(); }, 60000));
    for (auto& t : threads) t.join();
    model_.Unsubscribe(id);
    const unsigned long frames = form_->FramesDrawn() - frames0;
    form_->zuForceRepaint->SetEnabled(false);
    EXPECT_EQ(failed_sends.load(), 0);
    EXPECT_EQ(offenders_closed.load(), 11);
    EXPECT_TRUE(random_open);
    for (int c = 0; c < kClients; ++c) {
        ASSERT_EQ(seen[static_cast<size_t>(c)].size(), static_cast<size_t>(kLines)) << "client " << c;
        for (int i = 0; i < kLines; ++i) ASSERT_EQ(seen[static_cast<size_t>(c)][static_cast<size_t>(i)], i % kRange);
    }
    EXPECT_GT(frames, 10u);
    std::printf("frames drawn during the load: %lu\n", frames);
    EXPECT_TRUE(PumpUntil([&] { return form_->IdTCPServer1->ConnectionCount() == 0; }, 20000));
    // The server still serves.
    TcpClient after(port);
    Send(after, "ShowGrid\n");
    EXPECT_TRUE(model_.Sweep().GridOn);
}

TEST_F(Commands, TestFormRunsTheWordsWithoutTcp) {
    // Its creation fills the combo box.
    static auto* testForm = fw::test::TestApplication().CreateForm<TkynExternalCommandControlTestForm>();
    ASSERT_EQ(testForm->ComboBox1->Count(), 32);
    EXPECT_EQ(testForm->ComboBox1->Item(0), L"Run");
    EXPECT_EQ(testForm->ComboBox1->Item(31), L"StepModeDirection2");
    EXPECT_EQ(testForm->TrackBar1->Min(), 1);
    EXPECT_EQ(testForm->TrackBar1->Max(), 1000);
    const unsigned long executed = Executed();
    testForm->ComboBox1->SetItemIndex(ecShowGrid);
    testForm->ComboBox1Change();
    EXPECT_TRUE(model_.Sweep().GridOn);
    const TGeneralSettings before = model_.Settings();
    for (int index : {ecLineThickness, ecGridSize, ecSweepRate}) {
        testForm->ComboBox1->SetItemIndex(index);
        testForm->ComboBox1Change();
    }
    EXPECT_EQ(model_.Settings(), before);
    testForm->TrackBar1->SetPosition(250);
    EXPECT_EQ(model_.Settings().SweepRate, 250);
    EXPECT_EQ(form_->dpLineSweep->Interval(), 751u);
    EXPECT_EQ(Executed(), executed);  // straight on the GUI thread
    // The program never shows it; the picture is for the record.
    testForm->SetBounds(340, 0, 320, 140);
    testForm->Show();
    PumpUntil([] { return false; }, 300);
    fw::test::SaveWindowShot(testForm->Handle(), "command_test_form");
    testForm->Hide();
}

TEST_F(Commands, AutoDetectFillsTheNameAndAddressOrReportsWhy) {
    std::wstring host, address, error;
    EXPECT_FALSE(GetLocalHostAddress(host, address, error, [](const std::string&) { return std::nullopt; }));
    EXPECT_FALSE(host.empty());
    EXPECT_EQ(address, L"");
    EXPECT_EQ(error, L"No address found for the host name \"" + host + L"\"");
    EXPECT_TRUE(GetLocalHostAddress(host, address, error, [](const std::string&) {
        return std::optional<std::vector<uint8_t>>({10, 0, 0, 7});
    }));
    EXPECT_EQ(address, L"10.0.0.7");
    // The real look-up only where the name is in the hosts file: a DNS query
    // would leave this machine.
    std::ifstream hosts("Z:\\etc\\hosts");
    std::string line, name(host.begin(), host.end());
    bool listed = false;
    while (std::getline(hosts, line)) listed |= line.find(" " + name) != std::string::npos || line.find("\t" + name) != std::string::npos;
    if (!listed) GTEST_SKIP() << "the host name is not in the hosts file";
    kynControllerForm->AutoDetectHost();
    EXPECT_EQ(kynControllerForm->KelEdit3->Text(), host);
    const std::wstring ip = kynControllerForm->KelEdit1->Text();
    EXPECT_EQ(std::count(ip.begin(), ip.end(), L'.'), 3) << ip;
    kynControllerForm->KelEdit1->SetText(L"127.0.0.1");
}

}  // namespace
}  // namespace kyn
