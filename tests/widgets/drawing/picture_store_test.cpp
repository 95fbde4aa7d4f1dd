// The picture stores without a decoder: source texts, names, HIMETRIC
// sizes, frame selection and the state of THTMLPicture, the cache and the
// two containers.
#include <gtest/gtest.h>

#include <cwchar>
#include <type_traits>

#include "tests/widgets/drawing/test_data.h"
#include "widgets/drawing/GDIPPictureContainer.h"
#include "widgets/drawing/GifLayout.h"
#include "widgets/drawing/PictureCache.h"
#include "widgets/drawing/PictureContainer.h"
#include "widgets/drawing/PictureStoreRules.h"

namespace kel {
namespace {

TEST(PictureSource, PrefixesCountInAnyCase) {
    struct Row {
        const wchar_t* source;
        TPictureSourceKind kind;
        const wchar_t* name;
    } rows[] = {
        {L"RES://Logo", TPictureSourceKind::Resource, L"Logo"},
        {L"res://logo", TPictureSourceKind::Resource, L"logo"},
        {L"RES://", TPictureSourceKind::Resource, L""},
        {L"File://C:\\pics\\a.gif", TPictureSourceKind::File, L"C:\\pics\\a.gif"},
        {L"FILE://", TPictureSourceKind::File, L""},
        {L"http://example.invalid/a.gif", TPictureSourceKind::Url, L"http://example.invalid/a.gif"},
        {L"RES:/Logo", TPictureSourceKind::Url, L"RES:/Logo"},
        {L"", TPictureSourceKind::Url, L""},
    };
    for (const auto& row : rows) {
        const TPictureSource s = ParsePictureSource(row.source);
        EXPECT_EQ(s.Kind, row.kind) << std::string(row.source, row.source + wcslen(row.source));
        EXPECT_EQ(s.Name, row.name);
    }
}

TEST(PictureSource, NamesCompareWithAsciiLettersUpperCased) {
    EXPECT_TRUE(SameNameAscii(L"Logo", L"LOGO"));
    EXPECT_TRUE(SameNameAscii(L"a-1_z", L"A-1_Z"));
    EXPECT_FALSE(SameNameAscii(L"Logo", L"Log"));
    EXPECT_FALSE(SameNameAscii(L"caf\u00e9", L"CAF\u00c9"));  // only ASCII letters fold
    EXPECT_EQ(UpperAscii(L"ab\u00e9z"), L"AB\u00e9Z");
}

TEST(PictureSource, HimetricSizesRoundLikeMulDiv) {
    struct Row {
        int himetric, dpi, pixels;
    } rows[] = {
        {979, 96, 37},   {2540, 96, 96},  {13, 96, 0},         {14, 96, 1},  // 13.23 mm/100 is half a pixel
        {-979, 96, -37}, {2540, 120, 120}, {0, 96, 0},         {INT32_MAX, 2541, -1},
    };
    for (const auto& row : rows) EXPECT_EQ(HimetricToPixels(row.himetric, row.dpi), row.pixels) << row.himetric;
}

TEST(HTMLPicture, StartsEmptyWithFrameOneAndNoCount) {
    THTMLPicture p;
    EXPECT_TRUE(p.Empty());
    EXPECT_EQ(p.Frame(), 1);
    EXPECT_EQ(p.FrameCount(), -1);
    EXPECT_TRUE(p.Asynchronous());
    EXPECT_FALSE(p.DownloadStarted());
    EXPECT_FALSE(p.Stretch());
    EXPECT_EQ(p.Width(), 0);
    EXPECT_EQ(p.NaturalWidth(), 0);
}

TEST(HTMLPicture, FrameSelectionReadsTheChosenFramesDescriptor) {
    const TGifLayout anim = ReadGifLayout(test::DataBytes("anim.gif"));
    THTMLPicture p;
    int frameChanges = 0;
    p.OnFrameChange = [&] { ++frameChanges; };
    p.LoadFromFile(test::DataFile("anim.gif"));
    EXPECT_FALSE(p.Empty());
    EXPECT_EQ(p.FrameCount(), 4);
    EXPECT_EQ(p.ScreenWidth(), 24);
    EXPECT_EQ(p.ScreenHeight(), 16);
    struct Row {
        int frame;
        size_t shown;  // 0-based frame whose descriptor shows
    } rows[] = {{1, 0}, {3, 2}, {2, 1}, {4, 3}, {9, 3}, {0, 0}, {-1, 0}};
    for (const auto& row : rows) {
        p.SetFrame(row.frame);
        EXPECT_EQ(p.Frame(), row.frame);
        const TGifFrame& f = anim.Frames[row.shown];
        EXPECT_EQ(p.FrameLeft(), f.Left) << row.frame;
        EXPECT_EQ(p.FrameTop(), f.Top) << row.frame;
        EXPECT_EQ(p.FrameWidth(), f.Width) << row.frame;
        EXPECT_EQ(p.FrameHeight(), f.Height) << row.frame;
    }
    EXPECT_EQ(frameChanges, 7);

    // New bytes are counted anew; bytes that are no GIF have no frames.
    p.LoadFromFile(test::DataFile("comma.gif"));
    EXPECT_EQ(p.FrameCount(), 1);
    EXPECT_EQ(p.FrameWidth(), 23);
    p.LoadFromFile(test::DataFile("plain.bmp"));
    EXPECT_FALSE(p.IsGIF());
    EXPECT_EQ(p.FrameCount(), -1);
    EXPECT_EQ(p.FrameWidth(), 0);
    EXPECT_EQ(p.ScreenWidth(), 0);

    // Without bytes a frame is only remembered.
    THTMLPicture none;
    none.OnFrameChange = [&] { ++frameChanges; };
    none.SetFrame(2);
    EXPECT_EQ(none.Frame(), 2);
    EXPECT_EQ(frameChanges, 7);
}

TEST(HTMLPicture, AMissingFileLeavesItEmptyWithoutThrowing) {
    THTMLPicture p;
    p.LoadFromFile(test::DataFile("anim.gif"));
    int changes = 0;
    p.OnChange = [&] { ++changes; };
    EXPECT_NO_THROW(p.LoadFromFile(test::DataFile("no-such-file.gif")));
    EXPECT_TRUE(p.Empty());
    EXPECT_TRUE(p.Bytes().empty());
    EXPECT_EQ(p.FrameCount(), -1);
    EXPECT_EQ(changes, 1);
}

TEST(HTMLPicture, SourcesLoadFilesAndOnlyRecordUrls) {
    const std::wstring file = test::DataFile("anim.gif");
    struct Row {
        std::wstring source;
        bool asynchronous;
        bool empty;
        std::wstring sourceId, downloadUrl;
        bool downloadStarted;
    } rows[] = {
        {L"FILE://" + file, true, false, L"FILE://" + file, L"", false},
        {L"file://" + file, true, false, L"file://" + file, L"", false},
        {L"FILE://" + test::DataFile("missing.gif"), true, true, L"FILE://" + test::DataFile("missing.gif"), L"",
         false},
        {L"FILE://", true, true, L"FILE://", L"", false},
        {L"RES://", true, true, L"RES://", L"", false},
        {L"http://example.invalid/a.gif", false, true, L"http://example.invalid/a.gif",
         L"http://example.invalid/a.gif", false},
        {L"http://example.invalid/a.gif", true, true, L"", L"http://example.invalid/a.gif", true},
    };
    for (const auto& row : rows) {
        THTMLPicture p;
        p.SetAsynchronous(row.asynchronous);
        EXPECT_NO_THROW(p.LoadFromSource(row.source));
        const std::string what(row.source.begin(), row.source.end());
        EXPECT_EQ(p.Empty(), row.empty) << what;
        EXPECT_EQ(p.SourceId(), row.sourceId) << what;
        EXPECT_EQ(p.DownloadUrl(), row.downloadUrl) << what;
        EXPECT_EQ(p.DownloadStarted(), row.downloadStarted) << what;
    }

    // A download starts once; later URLs are not taken.
    THTMLPicture p;
    p.LoadFromSource(L"http://example.invalid/1.gif");
    p.LoadFromSource(L"http://example.invalid/2.gif");
    EXPECT_EQ(p.DownloadUrl(), L"http://example.invalid/1.gif");

    // "FILE://" with no name leaves a loaded picture as it was.
    THTMLPicture loaded;
    loaded.LoadFromFile(file);
    loaded.LoadFromSource(L"FILE://");
    EXPECT_FALSE(loaded.Empty());
    EXPECT_EQ(loaded.Bytes(), test::DataBytes("anim.gif"));
}

TEST(HTMLPicture, AssignCopiesAnotherHtmlPictureAndEmptiesOnAnythingElse) {
    THTMLPicture source;
    source.LoadFromSource(L"FILE://" + test::DataFile("anim.gif"));
    source.SetStretch(true);
    source.SetFrame(3);

    THTMLPicture p;
    p.LoadFromFile(test::DataFile("comma.gif"));
    p.SetFrame(2);
    std::string events;
    p.OnChange = [&] { events += "change;"; };
    p.OnFrameChange = [&] { events += "frame;"; };
    p.Assign(&source);
    EXPECT_EQ(events, "frame;change;");
    EXPECT_FALSE(p.Empty());
    EXPECT_TRUE(p.Stretch());
    EXPECT_EQ(p.Frame(), 3);
    EXPECT_EQ(p.FrameLeft(), 8);
    EXPECT_EQ(p.SourceId(), source.SourceId());
    EXPECT_EQ(p.Bytes(), source.Bytes());
    EXPECT_EQ(p.FrameCount(), 4);

    events.clear();
    TKelGDIPPicture other;
    p.Assign(&other);
    EXPECT_TRUE(p.Empty());
    EXPECT_EQ(p.Frame(), 1);
    EXPECT_EQ(p.Bytes(), source.Bytes());  // kept, but the picture reports Empty
    EXPECT_EQ(events, "frame;");

    events.clear();
    p.Assign(nullptr);
    EXPECT_TRUE(p.Empty());
    EXPECT_TRUE(p.Bytes().empty());
    EXPECT_EQ(events, "frame;");
    p.Assign(nullptr);
    EXPECT_EQ(events, "frame;");  // no bytes, no frame change
}

TEST(HTMLPicture, StoredDataIsTheFileAndReadsWithoutAChangeEvent) {
    THTMLPicture p;
    p.LoadFromFile(test::DataFile("anim.gif"));
    test::TextStream out;
    p.WriteData(out);
    const auto file = test::DataBytes("anim.gif");
    ASSERT_EQ(out.Text().size(), file.size() + 5);
    EXPECT_EQ(out.Text()[0], char(10));
    EXPECT_EQ(out.Text().substr(5), std::string(file.begin(), file.end()));

    THTMLPicture back;
    int changes = 0;
    back.OnChange = [&] { ++changes; };
    test::TextStream in(out.Text());
    back.ReadData(in);
    EXPECT_EQ(changes, 0);
    EXPECT_FALSE(back.Empty());
    EXPECT_EQ(back.FrameCount(), 4);
    test::TextStream plain;
    back.SaveToStream(&plain);
    EXPECT_EQ(plain.Text(), std::string(file.begin(), file.end()));

    // An empty value gives no picture and decodes nothing.
    test::TextStream empty(std::string("\x0A\0\0\0\0", 5));
    back.ReadData(empty);
    EXPECT_TRUE(back.Empty());
}

TEST(PictureCache, FindsBySourceWithCaseAndOwnsItsPictures) {
    THTMLPictureCache cache;
    const std::wstring url = L"http://example.invalid/Pic.gif";
    // What the GDI renderer does for a source it has not seen.
    ASSERT_EQ(cache.FindPicture(url), nullptr);
    THTMLPicture* made = cache.AddPicture();
    made->SetAsynchronous(false);
    made->LoadFromSource(url);
    EXPECT_EQ(cache.FindPicture(url), made);
    EXPECT_EQ(cache.FindPicture(L"http://example.invalid/pic.gif"), nullptr);

    THTMLPicture* second = cache.AddPicture();
    second->LoadFromSource(L"FILE://" + test::DataFile("anim.gif"));
    EXPECT_EQ(cache.Count(), 2);
    EXPECT_EQ(cache.GetPicture(1), second);
    EXPECT_EQ(cache.GetPicture(2), nullptr);
    EXPECT_EQ(cache.GetPicture(-1), nullptr);
    cache.ClearPictures();
    EXPECT_EQ(cache.Count(), 0);
    EXPECT_EQ(cache.FindPicture(url), nullptr);
}

template <class Container>
void CheckContainer(const char* file) {
    Container c(nullptr);
    EXPECT_EQ(c.GetVersion(), L"1.0.0.0");
    c.SetVersion(L"9.9.9.9");
    EXPECT_EQ(c.GetVersion(), L"1.0.0.0");
    EXPECT_EQ(c.Items().Owner(), &c);

    auto* logo = c.Items().Add();
    logo->SetName(L"Logo");
    logo->SetTag(7);
    logo->Picture().LoadFromFile(test::DataFile(file));
    auto* twin = c.Items().Add();
    twin->SetName(L"LOGO");
    EXPECT_EQ(c.PictureByName(L"LOGO"), &logo->Picture());
    EXPECT_EQ(c.PictureByName(L"logo"), &logo->Picture());
    EXPECT_EQ(c.PictureByName(L"Logo2"), nullptr);
    EXPECT_EQ(c.PictureByName(L""), nullptr);

    // Another container gets copies, never the same pictures.
    Container other(nullptr);
    other.SetItems(c.Items());
    ASSERT_EQ(other.Items().Count(), 2);
    auto* copied = other.Items().GetItem(0);
    EXPECT_EQ(copied->Name(), L"Logo");
    EXPECT_EQ(copied->Tag(), 7);
    EXPECT_EQ(copied->Collection(), &other.Items());
    EXPECT_NE(&copied->Picture(), &logo->Picture());
    EXPECT_EQ(copied->Picture().Bytes(), logo->Picture().Bytes());
    logo->Picture().Assign(nullptr);
    EXPECT_FALSE(copied->Picture().Empty());
    EXPECT_EQ(other.Items().GetItem(2), nullptr);

    other.Items().Delete(0);
    EXPECT_EQ(other.PictureByName(L"Logo"), &other.Items().GetItem(0)->Picture());  // the twin now
}

TEST(PictureContainers, FindPicturesByNameAndCopyTheirItems) {
    CheckContainer<TPictureContainer>("anim.gif");
    CheckContainer<TGDIPPictureContainer>("keyed.bmp");
    static_assert(!std::is_same_v<picture_container::TPictureItem, gdip_picture_container::TPictureItem>);
    static_assert(!std::is_same_v<picture_container::TPictureCollection, gdip_picture_container::TPictureCollection>);
}

}  // namespace
}  // namespace kel
