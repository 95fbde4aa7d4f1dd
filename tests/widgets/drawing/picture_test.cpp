// Byte keeping, the stored "Data" form, streams, assignment and file loading
// of the two picture classes, and the hint record.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "framework/core/exceptions.h"
#include "tests/widgets/drawing/test_data.h"
#include "widgets/drawing/GDIPicture.h"
#include "widgets/drawing/KelHintInfo.h"

namespace kel {
namespace {

std::string AsString(const std::vector<uint8_t>& b) { return std::string(b.begin(), b.end()); }

std::string StoredForm(const std::vector<uint8_t>& bytes) {
    uint32_t n = static_cast<uint32_t>(bytes.size());
    std::string s = {char(10), char(n & 0xFF), char((n >> 8) & 0xFF), char((n >> 16) & 0xFF), char(n >> 24)};
    return s + AsString(bytes);
}

// Records the order of a picture's events.
struct EventLog {
    template <class P>
    explicit EventLog(P& p) {
        p.OnChange = [this] { events += "change;"; };
        p.OnClear = [this] { events += "clear;"; };
    }
    std::string events;
};

TEST(PictureData, StoredFormIsTheFileByteForByte) {
    const auto file = test::DataBytes("keyed.bmp");
    ASSERT_EQ(file.size(), 134u);
    TKelGDIPPicture kel;
    kel.LoadFromFile(test::DataFile("keyed.bmp"));
    TGDIPPicture gdip;
    gdip.LoadFromFile(test::DataFile("keyed.bmp"));
    for (TImageFilePicture* p : {static_cast<TImageFilePicture*>(&kel), static_cast<TImageFilePicture*>(&gdip)}) {
        test::TextStream out;
        p->WriteData(out);
        EXPECT_EQ(out.Text(), StoredForm(file));
        test::TextStream plain;
        p->SaveToStream(&plain);
        EXPECT_EQ(plain.Text(), AsString(file));
        p->SaveToStream(nullptr);  // nothing happens
    }

    // Reading it back and writing again gives the same bytes.
    test::TextStream in(StoredForm(file));
    TKelGDIPPicture back;
    back.ReadData(in);
    EXPECT_FALSE(back.Empty());
    EXPECT_EQ(back.Bytes(), file);
    test::TextStream again;
    back.WriteData(again);
    EXPECT_EQ(again.Text(), StoredForm(file));
}

TEST(PictureData, DamagedStoredValuesAreRefusedAndLoseNothing) {
    const auto file = test::DataBytes("quadrants.png");
    struct Row {
        const char* what;
        std::string stored;
        const wchar_t* message;
    } rows[] = {
        {"empty stream", "", L"value type is missing"},
        {"string value instead of binary", std::string("\x06\x03\x00\x00\x00", 5) + "abc", L"is not binary"},
        {"length cut off", std::string("\x0A\x05\x00", 3), L"length runs past"},
        {"bytes fewer than the length", std::string("\x0A\xE8\x03\x00\x00PNG", 8), L"1000 runs past"},
        {"huge length", std::string("\x0A\xFF\xFF\xFF\xFF", 5), L"runs past"},
    };
    for (const Row& r : rows) {
        TKelGDIPPicture kel;
        TGDIPPicture gdip;
        test::TextStream keep(AsString(file));
        kel.LoadFromStream(&keep);
        gdip.LoadFromStream(&keep);
        for (TImageFilePicture* p : {static_cast<TImageFilePicture*>(&kel), static_cast<TImageFilePicture*>(&gdip)}) {
            test::TextStream in(r.stored);
            try {
                p->ReadData(in);
                ADD_FAILURE() << r.what << ": no error";
            } catch (const fw::EInOutError& e) {
                EXPECT_NE(e.Message().find(r.message), std::wstring::npos) << r.what;
            }
            EXPECT_EQ(p->Bytes(), file) << r.what;
            EXPECT_FALSE(p->Empty()) << r.what;
        }
    }
}

TEST(PictureData, EmptyStoredValueDiffersBetweenTheTwoClasses) {
    test::TextStream a(StoredForm({})), b(StoredForm({}));
    TKelGDIPPicture kel;
    kel.ReadData(a);
    EXPECT_TRUE(kel.Empty());
    TGDIPPicture gdip;
    gdip.ReadData(b);
    EXPECT_FALSE(gdip.Empty());
    EXPECT_FALSE(gdip.HasBytes());
    EXPECT_EQ(gdip.Width(), 0);
}

TEST(PictureStreams, LoadFromStreamCopiesTheWholeStreamFromItsStart) {
    const auto file = test::DataBytes("quadrants.png");
    test::TextStream s(AsString(file));
    s.Seek(0, fw::TSeekOrigin::soEnd);  // wherever it stands
    TKelGDIPPicture kel;
    EventLog log(kel);
    kel.LoadFromStream(&s);
    EXPECT_EQ(kel.Bytes(), file);
    EXPECT_FALSE(kel.Empty());
    EXPECT_EQ(log.events, "change;");

    // nil changes nothing; an empty stream changes nothing for TKelGDIPPicture
    // but makes TGDIPPicture non-Empty with no bytes.
    kel.LoadFromStream(nullptr);
    test::TextStream none;
    kel.LoadFromStream(&none);
    EXPECT_EQ(kel.Bytes(), file);
    EXPECT_EQ(log.events, "change;");
    TGDIPPicture gdip;
    gdip.LoadFromStream(nullptr);
    EXPECT_TRUE(gdip.Empty());
    test::TextStream none2;
    gdip.LoadFromStream(&none2);
    EXPECT_FALSE(gdip.Empty());
    EXPECT_FALSE(gdip.HasBytes());
}

TEST(PictureAssign, NilClearsAndFiresChangeThenClear) {
    for (bool kelClass : {true, false}) {
        std::unique_ptr<TImageFilePicture> p;
        if (kelClass)
            p = std::make_unique<TKelGDIPPicture>();
        else
            p = std::make_unique<TGDIPPicture>();
        p->LoadFromFile(test::DataFile("keyed.bmp"));
        EventLog log(*p);
        p->Assign(nullptr);
        EXPECT_TRUE(p->Empty());
        EXPECT_FALSE(p->HasBytes());
        EXPECT_EQ(p->Width(), 0);
        EXPECT_EQ(log.events, "change;clear;");
    }
}

TEST(PictureAssign, CopiesOwnClassAndEmptiesForOtherSources) {
    const auto file = test::DataBytes("keyed.bmp");
    TKelGDIPPicture source;
    source.LoadFromFile(test::DataFile("keyed.bmp"));

    TKelGDIPPicture copy;
    EventLog log(copy);
    copy.Assign(&source);
    EXPECT_EQ(copy.Bytes(), file);
    EXPECT_FALSE(copy.Empty());
    EXPECT_EQ(log.events, "change;");
    copy.Assign(&copy);  // itself: unchanged
    EXPECT_EQ(copy.Bytes(), file);

    // An empty picture of the own class makes an empty copy.
    TKelGDIPPicture blank;
    copy.Assign(&blank);
    EXPECT_TRUE(copy.Empty());

    // A graphic of the other class is not a source: the picture reports
    // Empty and holds no old bytes behind that report.
    for (bool kelTarget : {true, false}) {
        TGDIPPicture gdipSource;
        gdipSource.LoadFromFile(test::DataFile("keyed.bmp"));
        std::unique_ptr<TImageFilePicture> target;
        if (kelTarget)
            target = std::make_unique<TKelGDIPPicture>();
        else
            target = std::make_unique<TGDIPPicture>();
        target->LoadFromFile(test::DataFile("quadrants.png"));
        EventLog targetLog(*target);
        if (kelTarget)
            target->Assign(&gdipSource);
        else
            target->Assign(&source);
        EXPECT_TRUE(target->Empty());
        EXPECT_FALSE(target->HasBytes());
        EXPECT_EQ(target->Width(), 0);
        EXPECT_EQ(targetLog.events, "change;");
    }
}

class PictureFiles : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("kel_picture_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    std::wstring Copy(const std::string& fixture, const std::string& asName) {
        auto to = dir_ / asName;
        std::filesystem::copy_file(std::filesystem::path(test::DataFile(fixture)), to,
                                   std::filesystem::copy_options::overwrite_existing);
        return to.wstring();
    }
    std::filesystem::path dir_;
};

TEST_F(PictureFiles, KelPictureTakesItsSizeFromTheFileHeader) {
    struct Row {
        const char* fixture;
        const char* name;
        int w, h;
    } rows[] = {
        {"keyed.bmp", "a.bmp", 6, 4},        {"topdown.bmp", "b.BMP", 19, 7},      {"wide.png", "c.png", 70000, 1},
        {"comma.gif", "d.gif", 23, 11},      {"progressive.jpg", "e.jpeg", 45, 29}, {"big.tif", "f.tiff", 41, 13},
        {"little.tif", "g.TIF", 26, 15},     {"quadrants.png", "h.dat", 0, 0},
    };
    for (const Row& r : rows) {
        TKelGDIPPicture p;
        EventLog log(p);
        p.LoadFromFile(Copy(r.fixture, r.name));
        EXPECT_FALSE(p.Empty()) << r.name;
        EXPECT_EQ(p.Bytes(), test::DataBytes(r.fixture)) << r.name;
        EXPECT_EQ(p.Width(), r.w) << r.name;
        EXPECT_EQ(p.Height(), r.h) << r.name;
        EXPECT_EQ(log.events, "clear;change;") << r.name;
    }
}

TEST_F(PictureFiles, UnreadableFileLeavesAnEmptyPictureWithoutThrowing) {
    TKelGDIPPicture kel;
    kel.LoadFromFile(test::DataFile("keyed.bmp"));
    TGDIPPicture gdip;
    gdip.LoadFromFile(test::DataFile("keyed.bmp"));
    std::wstring missing = (dir_ / "missing.png").wstring();
    EventLog kelLog(kel), gdipLog(gdip);
    kel.LoadFromFile(missing);
    gdip.LoadFromFile(missing);
    for (TImageFilePicture* p : {static_cast<TImageFilePicture*>(&kel), static_cast<TImageFilePicture*>(&gdip)}) {
        EXPECT_TRUE(p->Empty());
        EXPECT_FALSE(p->HasBytes());
        EXPECT_EQ(p->Width(), 0);
    }
    EXPECT_EQ(kelLog.events, "change;");
    EXPECT_EQ(gdipLog.events, "change;");
}

TEST(KelHintInfo, AssignCopiesEveryFieldAndIgnoresNil) {
    TKelHintInfo source;
    source.SetTitle(L"Scan");
    source.Notes().Add(L"line one");
    source.Notes().Add(L"line two");
    source.SetShowHelp(true);
    source.SetWideTitle(L"wide title");
    source.SetWideNotes(L"wide notes");
    source.Picture().LoadFromFile(test::DataFile("keyed.bmp"));

    TKelHintInfo copy;
    copy.Assign(&source);
    EXPECT_EQ(copy.Title(), L"Scan");
    EXPECT_EQ(copy.Notes().Text(), source.Notes().Text());
    EXPECT_TRUE(copy.ShowHelp());
    EXPECT_EQ(copy.WideTitle(), L"wide title");
    EXPECT_EQ(copy.WideNotes(), L"wide notes");
    EXPECT_EQ(copy.Picture().Bytes(), source.Picture().Bytes());
    // Copies, not shared objects.
    source.Notes().Add(L"three");
    EXPECT_EQ(copy.Notes().Count(), 2);

    copy.Assign(nullptr);
    EXPECT_EQ(copy.Title(), L"Scan");
    TKelHintInfo fresh;
    EXPECT_FALSE(fresh.ShowHelp());
    EXPECT_TRUE(fresh.Picture().Empty());
}

}  // namespace
}  // namespace kel
