#include "ui/dat_inst_dig_layout.h"

#include "app/resource_ids.h"

namespace talvoren {

using winui::ControlKind;
using winui::kNoIndex;
using winui::kNoTabIndex;
using winui::Row;

namespace {

const winui::FontLook kTitleFont{"ＭＳ Ｐゴシック", 700, 1425, 128};
const winui::FontLook kStepFont{"ＭＳ Ｐゴシック", 700, 900, 128};
constexpr winui::Rgb kWhite{255, 255, 255};
constexpr winui::Rgb kRed{255, 0, 0};
constexpr winui::Rgb kLightYellow{255, 255, 128};

}  // namespace

const winui::FormLayout& DatInstDigLayout() {
    static const winui::FormLayout layout = [] {
        winui::FormLayout form;
        form.caption = "放送データバージョンUPコンバータ";
        form.client_width = 9780;
        form.client_height = 4305;
        form.position = winui::StartPosition::CenterScreen;
        form.in_taskbar = true;
        form.icon_resource = TALVOREN_ICON_GROUP;
        form.close_clicks = {"Command1", 1};  // the close box acts as Cancel
        form.controls = {
            // The white header band lies beneath the title, the description and the picture.
            Row(ControlKind::Label, "Label1", kNoIndex, {-30, -15, 9765, 885}, 0).Back(kWhite).Behind(),
            Row(ControlKind::Label, "Label2", kNoIndex, {150, 75, 4755, 330}, 1, "放送データバージョンUPコンバータ")
                .Font(kTitleFont)
                .Transparent(),
            Row(ControlKind::Picture, "Image1", kNoIndex, {8805, -30, 975, 930}, kNoTabIndex)
                .PictureResource(TALVOREN_IMAGE1_BITMAP),
            Row(ControlKind::Label, "Label3", kNoIndex, {420, 525, 8280, 285}, 2,
                "運賃表示器アプリの旧バージョンの放送データをVer4用の放送データへまとめてコンバートします。")
                .Transparent(),
            Row(ControlKind::Label, "Label4", 0, {0, 870, 9765, 45}, 3).Border(),
            Row(ControlKind::Label, "Label5", 0, {375, 1365, 7620, 240}, 8,
                "１．旧バージョンの放送データ(*.Tp.csv)が入っている位置(フォルダー)を指定してください")
                .Font(kStepFont),
            Row(ControlKind::TextBox, "Text1", 0, {525, 1635, 7530, 315}, 5),
            Row(ControlKind::CommandButton, "Command2", 0, {8115, 1650, 1050, 330}, 10, "参照(&B)"),
            Row(ControlKind::Label, "Label5", 4, {360, 2265, 6165, 240}, 7,
                "２．コンバートした放送データの保存先(フォルダー)を指定してください")
                .Font(kStepFont),
            Row(ControlKind::TextBox, "Text1", 1, {525, 2535, 7530, 315}, 4),
            Row(ControlKind::CommandButton, "Command2", 1, {8115, 2550, 1050, 330}, 9, "参照(&B)"),
            Row(ControlKind::Label, "Label9", kNoIndex, {540, 2955, 8775, 225}, 6,
                "※コンバート先のフォルダーに同じファイル名が存在する場合には、上書きされますのでご注意ください。")
                .Font(kStepFont)
                .Fore(kRed)
                .Back(kLightYellow),
            // The hidden file list through which the run enumerates the source files.
            Row(ControlKind::FileList, "File1", kNoIndex, {225, 3315, 2100, 270}, 14, "*Tp.csv").Hidden(),
            Row(ControlKind::Label, "Label4", 2, {-30, 3720, 9780, 45}, 13).Border(),
            Row(ControlKind::CommandButton, "Command1", 0, {6705, 3840, 1140, 375}, 12, "変換実行").Disabled(),
            Row(ControlKind::CommandButton, "Command1", 1, {7965, 3840, 1140, 375}, 11, "キャンセル"),
        };
        return form;
    }();
    return layout;
}

}  // namespace talvoren
