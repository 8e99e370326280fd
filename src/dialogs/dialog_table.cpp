#include "dialogs/dialog_table.h"

#include <algorithm>
#include <array>

namespace zq::dialogs {

namespace {

using platform::Rect;
using platform::Size;
using Words = std::span<const std::string_view>;

constexpr std::array<FormInfo, 6> kForms = {{
    {FormKind::Form1, "TForm1", 1, {402, 198}, false},
    {FormKind::EditForm1, "TEditForm1", 2, {402, 262}, false},
    {FormKind::Form3, "TForm3", 3, {423, 325}, false},
    {FormKind::Form4, "TForm4", 4, {419, 386}, false},
    {FormKind::Form5, "TForm5", 5, {419, 447}, false},
    {FormKind::Form6, "TForm6", 6, {546, 328}, true},
}};

constexpr std::array<FormatInfo, 12> kFormats = {{
    {Format::RectangleName, "rectangle name",
     "The name of a host rectangle that carries a chart; ASCII letters match in either case.",
     "Chart1"},
    {Format::SeriesName, "series name",
     "A series of the chart; blanks are ignored, letters match in either case.", "Sales"},
    {Format::Text, "text", "Any text; the character 13 starts a new line.", "Продажи за год"},
    {Format::FileName, "file name",
     "A picture file: .bmp, .jpg or .jpeg everywhere, .ico, .wmf and .emf on Windows.",
     "C:\\Pictures\\back.jpg"},
    {Format::ValueList, "value list",
     "Numbers separated by \"|\", blanks removed, with the regional decimal separator.", "1|2|3|4"},
    {Format::LabelList, "label list",
     "Labels separated by \"|\"; empty ones are dropped, quotes may hold a \"|\". May be empty.",
     "Янв|Фев|Мар|Апр"},
    {Format::PointRange, "point range",
     "The first point's number (from 0) and the number of points, integer texts joined by "
     "\"|\".",
     "2|1"},
    {Format::Integer, "integer text",
     "Decimal digits with an optional sign, or hexadecimal after \"$\", \"x\" or \"0x\".", "10"},
    {Format::Boolean, "boolean text",
     "\"True\" or \"true\", \"False\" or \"false\"; any other text changes nothing.", "True"},
    {Format::Colour, "colour text",
     "Red, green and blue from 0 to 255 separated by commas (each taken modulo 256).", "255,0,0"},
    {Format::Font, "font text",
     "Face, font colour (clRed … or $00BBGGRR), size in points, style words (fsBold fsItalic "
     "fsUnderline fsStrikeOut) and character set, joined by \"|\"; blanks are removed.",
     "Arial|clNavy|12|fsBold |204"},
    {Format::Keyword, "keyword",
     "One of the listed words, letter case included; any other text changes nothing.", ""},
}};

constexpr std::array<KindInfo, 7> kKinds = {{
    {"rectangle", true, false, false, false},
    {"text", true, false, false, false},
    {"text, no picker", false, false, false, false},
    {"colour", true, true, false, false},
    {"colour, no picker", false, true, false, false},
    {"font", true, false, true, false},
    {"choice", false, false, false, true},
}};

// Word lists.
constexpr std::string_view kBoolean[] = {"True", "False"};
constexpr std::string_view kAlignment[] = {"Left", "Center", "Right"};
constexpr std::string_view kPointerStyles[] = {"Rectangle",    "Circle",  "Triangle",
                                               "DownTriangle", "Cross",   "DiagCross",
                                               "Star",         "Diamond", "SmallDot"};
constexpr std::string_view kBrushStyles[] = {"Solid",     "Vertical",  "Horizontal", "Clear",
                                             "FDiagonal", "BDiagonal", "Cross",      "DiagCross"};
constexpr std::string_view kPenStyles[] = {"Solid",      "Dash",  "Dot",        "DashDot",
                                           "DashDotDot", "Clear", "InsideFrame"};
constexpr std::string_view kHorizAxes[] = {"TopAxis", "BottomAxis", "BothHorizAxis",
                                           "CustomHorizAxis"};
constexpr std::string_view kVertAxes[] = {"LeftAxis", "RightAxis", "BothVertAxis",
                                          "CustomVertAxis"};
constexpr std::string_view kMarkStyles[] = {"Value",        "Percent",           "Label",
                                            "LabelPercent", "LabelValue",        "Legend",
                                            "PercentTotal", "LabelPercentTotal", "XValue"};
constexpr std::string_view kGradients[] = {"TopBottom",     "BottomTop",  "LeftRight",
                                           "RightLeft",     "FromCenter", "FromTopLeft",
                                           "FromBottomLeft"};
constexpr std::string_view kImageModes[] = {"Stretch", "Tile", "Center"};
constexpr std::string_view kLegendPlaces[] = {"Left", "Right", "Top", "Bottom"};
constexpr std::string_view kLegendStyles[] = {"Plain",       "LeftValue",    "RightValue",
                                              "LeftPercent", "RightPercent", "XValue"};

constexpr RowInfo RectangleRow(const char* label, const char* gloss = "chart rectangle") {
  return {label, RowKind::Rectangle, Format::RectangleName, gloss, {}};
}
constexpr RowInfo Series(const char* label) {
  return {label, RowKind::Text, Format::SeriesName, "series name", {}};
}
constexpr RowInfo Text(const char* label, Format format, const char* gloss,
                       const char* example = nullptr) {
  return {label, RowKind::Text, format, gloss, {}, example};
}
constexpr RowInfo Colour(const char* label, const char* gloss, const char* example = nullptr) {
  return {label, RowKind::Colour, Format::Colour, gloss, {}, example};
}
constexpr RowInfo Font(const char* label, const char* gloss) {
  return {label, RowKind::Font, Format::Font, gloss, {}};
}
constexpr RowInfo Choice(const char* label, Words words, const char* gloss,
                         const char* example = nullptr) {
  const bool boolean = words.size() == 2 && words[0] == "True" && words[1] == "False";
  return {label, RowKind::Choice, boolean ? Format::Boolean : Format::Keyword,
          gloss, words,           example};
}

constexpr const char* kChart = "Rectangle диаграммы:";
constexpr const char* kUniqueName = "Уникальное имя графика:";
constexpr const char* kName = "Имя графика:";

constexpr RowInfo kRows1[] = {
    RectangleRow("Rectangle для отображения графика:", "rectangle to show the chart in")};
constexpr RowInfo kRows2[] = {RectangleRow(kChart)};
constexpr RowInfo kRows3[] = {
    RectangleRow(kChart),
    Series(kUniqueName),
    Text("Значение на шкале \"X\":", Format::ValueList, "X values"),
    Text("Значение на шкале \"Y\":", Format::ValueList, "Y values", "5|7|6|9"),
    Text("Градуировка шкалы \"X\" (опционально):", Format::LabelList, "X labels (optional)"),
    Colour("Выбор цвета графика:", "series colour"),
};
constexpr RowInfo kRows4[] = {RectangleRow(kChart), Series(kName)};
constexpr RowInfo kRows5[] = {RectangleRow(kChart), Series(kName),
                              Text("Выбор точки удаления (номер точки|кол-во точек):",
                                   Format::PointRange, "points to delete (number|count)")};
constexpr RowInfo kRows6[] = {
    RectangleRow(kChart),
    Text("Текст заголовка панели графиков:", Format::Text, "title text"),
    Font("Параметры шрифта:", "font"),
    Choice("Расположение текста:", kAlignment, "alignment", "Center"),
};
constexpr RowInfo kRows7[] = {
    RectangleRow(kChart),
    Text("Нижний текст панели графиков:", Format::Text, "foot text", "Источник: отдел продаж"),
    Font("Параметры шрифта:", "font"),
    Choice("Расположение текста:", kAlignment, "alignment", "Right"),
};
constexpr RowInfo kRows8[] = {
    RectangleRow(kChart),
    Series(kUniqueName),
    Choice("Скрыть/показать точки графика:", kBoolean, "points visible"),
    Choice("Стиль точек графика:", kPointerStyles, "point style", "Circle"),
    Choice("Вкл\\Откл эффект 3D:", kBoolean, "3D points"),
    Choice("Эффект тени 3D:", kBoolean, "dark 3D shading", "False"),
};
constexpr RowInfo kRows9[] = {
    RectangleRow(kChart),
    Series(kUniqueName),
    Colour("Цвет точек графика:", "point colour", "0,128,255"),
    Text("Размер точки по вертикали (px):", Format::Integer, "vertical point size (px)", "5"),
    Text("Размер точки по горизонтали (px}:", Format::Integer, "horizontal point size (px)", "5"),
};
constexpr RowInfo kRows10[] = {
    RectangleRow(kChart),
    Series(kUniqueName),
    Text("Номер отрезка графика:", Format::Integer, "segment number", "1"),
    Colour("Цвет отрезка графика:", "segment colour", "255,128,0"),
};
constexpr RowInfo kRows11[] = {RectangleRow(kChart), Series(kUniqueName),
                               Colour("Выбор цвета:", "series colour", "0,128,0")};
constexpr RowInfo kRows12[] = {RectangleRow(kChart), Series(kName)};
constexpr RowInfo kRows13[] = {RectangleRow(kChart),
                               Text("Ширина графика 3D (от 1 до 100 ):", Format::Integer,
                                    "3D depth (percent, 1 to 100)", "40")};
constexpr RowInfo kRows14[] = {RectangleRow(kChart), Series(kName),
                               Choice("Выбор стиля раскраски линии графика:", kBrushStyles,
                                      "ribbon brush style", "DiagCross")};
constexpr RowInfo kRows15[] = {
    RectangleRow(kChart),
    Series(kUniqueName),
    Choice("Скрыть/показать бордюр линии графика:", kBoolean, "border visible"),
    Colour("Цвет бордюра линии графика:", "border colour", "0,0,128"),
    Text("Толщина бордюра линии графика (px):", Format::Integer, "border width (px)", "2"),
    Choice("Стиль бордюра линии графика:", kPenStyles, "border pen style", "Dash"),
};
constexpr RowInfo kRows16[] = {
    RectangleRow(kChart),
    Series(kUniqueName),
    Text("True\\False свойства Stairs:", Format::Boolean, "stairs"),
    Text("True\\False переворот свойства Stairs:", Format::Boolean, "inverted stairs", "False"),
};
constexpr std::array<RowInfo, 6> WallRows(const char* colourLabel, const char* gloss) {
  return {{
      RectangleRow(kChart),
      Colour(colourLabel, gloss, "255,255,224"),
      Choice("Показать\\Скрыть бордюр:", kBoolean, "border visible"),
      Colour("Цвет бордюра:", "border colour", "128,128,128"),
      Text("Толщина бордюра (px):", Format::Integer, "border width (px)", "1"),
      Choice("Стиль бордюра (толщина = 1):", kPenStyles, "border pen style (width 1)", "Dot"),
  }};
}
constexpr auto kRows17 = WallRows("Цвет задней стенки панели:", "back wall colour");
constexpr auto kRows18 = WallRows("Цвет нижней стенки панели:", "bottom wall colour");
constexpr auto kRows19 = WallRows("Цвет левой стенки панели:", "left wall colour");
constexpr RowInfo kRows20[] = {
    RectangleRow(kChart),
    Text("Толщина задней стены панели графиков:", Format::Integer, "back wall size", "8"),
    Text("Толщина левой стены панели графиков:", Format::Integer, "left wall size", "8"),
    Text("Толщина нижней стены панели графиков:", Format::Integer, "bottom wall size", "8"),
};
constexpr RowInfo kRows21[] = {
    RectangleRow(kChart),
    Series(kUniqueName),
    Choice("Показать\\Скрыть оси графика:", kBoolean, "axes visible"),
    Choice("Горизонтальная ось:", kHorizAxes, "horizontal axis", "BottomAxis"),
    Choice("Вертикальная ось:", kVertAxes, "vertical axis", "RightAxis"),
    Choice("Inverted осей и графика:", kBoolean, "inverted", "False"),
};
constexpr RowInfo kRows22[] = {
    RectangleRow(kChart),
    Series(kUniqueName),
    Choice("Показать\\Скрыть маркеры графика:", kBoolean, "marks visible"),
    Colour("Цвет маркера:", "mark colour", "255,255,192"),
    Choice("Прозрачность маркера:", kBoolean, "transparent marks", "False"),
    Choice("Стиль отображаемой информации:", kMarkStyles, "mark style", "Value"),
};
constexpr RowInfo kRows23[] = {RectangleRow(kChart), Series(kUniqueName),
                               Font("Выбор шрифта:", "marks font")};
constexpr RowInfo kRows24[] = {
    RectangleRow(kChart),
    Series(kUniqueName),
    Choice("Показать\\Скрыть стрелки маркеров:", kBoolean, "arrows visible"),
    Colour("Цвет стрелок маркеров:", "arrow colour", "128,0,0"),
    Text("Длина стрелок маркеров:", Format::Integer, "arrow length", "12"),
    Choice("Стиль отображения стрелок:", kPenStyles, "arrow pen style", "Solid"),
};
constexpr RowInfo kRows25[] = {
    RectangleRow(kChart), Series(kUniqueName),
    Text("Толщина стрелок маркеров:", Format::Integer, "arrow width", "2")};
constexpr RowInfo kRows26[] = {
    RectangleRow(kChart),
    Choice("Показать\\Скрыть градиент фона:", kBoolean, "gradient visible"),
    Colour("Первый цвет градиента:", "start colour", "255,255,255"),
    Colour("Второй цвет градиента:", "end colour", "128,160,255"),
    Choice("Стиль градиента фона:", kGradients, "gradient direction", "TopBottom"),
};
constexpr RowInfo kRows27[] = {
    RectangleRow(kChart),
    {"Выбор цвета фона:",
     RowKind::ColourNoPicker,
     Format::Colour,
     "background colour",
     {},
     "240,240,255"},
};
constexpr RowInfo kRows28[] = {
    RectangleRow(kChart),
    Choice("False\\True рисунок на фоне или на панели:", kBoolean,
           "picture inside the walls (True) or behind the chart (False)", "False"),
    Text("Путь и имя файла изображения (*jpg, *bmp):", Format::FileName, "picture file"),
    Choice("Стиль отображения рисунка:", kImageModes, "picture mode", "Stretch"),
};
constexpr RowInfo kRows29[] = {
    RectangleRow(kChart),
    Choice("Показать\\Скрыть список обозначений:", kBoolean, "legend visible"),
    Choice("Выбрать расположение списка обозначений:", kLegendPlaces, "legend position", "Bottom"),
};
constexpr RowInfo kRows30[] = {
    RectangleRow(kChart),
    Choice("Стиль и вид отображаемой информации:", kLegendStyles, "legend text style",
           "RightValue"),
    {"Размер цветовых маркеров:",
     RowKind::TextNoPicker,
     Format::Integer,
     "colour-marker width",
     {},
     "20"},
};
constexpr RowInfo kRows31[] = {RectangleRow(kChart),
                               Font("Выбрать шрифт списка обозначений:", "legend font")};
constexpr RowInfo kRows32[] = {
    RectangleRow(kChart),
    Colour("Стиль и вид отображаемой информации:", "shadow colour", "128,128,128"),
    Text("Удалённость \"тени\":", Format::Integer, "shadow size", "4"),
};
constexpr RowInfo kRows33[] = {RectangleRow(kChart),
                               Choice("Расположение списка:", kBoolean, "legend always on top")};
constexpr RowInfo kRows34[] = {RectangleRow(kChart),
                               Choice("Выбор 3D изображения:", kBoolean, "3D view")};
constexpr RowInfo kRows35[] = {
    RectangleRow(kChart), Choice("Выбор 2D изображения:", kBoolean, "orthogonal (2D-like) view")};
constexpr RowInfo kRows36[] = {RectangleRow(kChart),
                               Text("Elevation панели графиков (целое число):", Format::Integer,
                                    "elevation (integer)", "345")};
constexpr RowInfo kRows37[] = {RectangleRow(kChart),
                               Text("Perspective панели графиков (целое число):", Format::Integer,
                                    "perspective (integer)", "30")};
constexpr RowInfo kRows38[] = {
    RectangleRow(kChart),
    Text("Rotation панели графиков (целое число):", Format::Integer, "rotation (integer)", "330")};
constexpr RowInfo kRows39[] = {
    RectangleRow(kChart),
    Text("Смещение по горизонтали (Integer):", Format::Integer, "horizontal offset", "20")};
constexpr RowInfo kRows40[] = {
    RectangleRow(kChart),
    Text("Смещение по вертикали (Integer):", Format::Integer, "vertical offset", "-10")};
constexpr RowInfo kRows41[] = {
    RectangleRow(kChart),
    Text("Угол вращения панели графиков:", Format::Integer, "tilt angle", "15")};
constexpr RowInfo kRows42[] = {RectangleRow(kChart),
                               Text("Процентное число (100 - норма):", Format::Integer,
                                    "zoom percentage (100 is normal)", "120")};
constexpr RowInfo kRows43[] = {
    RectangleRow(kChart), Choice("Показать\\Скрыть панели графика:", kBoolean, "walls visible")};
constexpr RowInfo kRows44[] = {
    RectangleRow(kChart),
    Text("Движение (True\\False):", Format::Boolean, "rolling on"),
    Text("Угол шага поворота:", Format::Integer, "step angle", "5"),
};

using F = FormKind;
constexpr std::array<ActionDialog, 44> kDialogs = {{
    {1, "zqCreateLineChart", F::Form1, kRows1,
     "Создать объект Chart в Rectangle для \nотображения графика."},
    {2, "zqDeleteLineChart", F::Form1, kRows2, "Удалить объект Chart в Rectangle."},
    {3, "zqCreateSeriesLine", F::Form6, kRows3,
     "Добавить график на панель Chart при этом указав уникальное имя графика для данной\n"
     "панели. Возможна запись нескольких значений \"X\" и \"Y\" разделённых знаком \"|\".\n"
     "Градуировка шкалы \"X\" опциональна и зависит от типа графика (можно оставить пустой)"},
    {4, "zqDeleteSeriesLine", F::EditForm1, kRows4, "Удалить график с панели по его имени."},
    {5, "zqDeleteDotSeries", F::Form3, kRows5,
     "Удалить из именного графика точку (XY) по номеру. \nНомера точек начинаются с нуля."},
    {6, "zqSetTitleLine", F::Form4, kRows6,
     "Установить текст верхнего колонтитула панели графиков,\nвыбрать параметры текста и его "
     "расположение."},
    {7, "zqSetFootLine", F::Form4, kRows7,
     "Установить текст нижнего колонтитула панели графиков,\nвыбрать параметры текста и его "
     "расположение."},
    {8, "zqSeriesDot3DStyle", F::Form6, kRows8,
     "Скрыть\\Показать точки графика с 3D эффектом с возможностью выбора стиля."},
    {9, "zqSeriesDotColor", F::Form5, kRows9,
     "Установить цвет и размер точек графика.\nПри необходимости выбрать только один параметр - "
     "\n- остальные оставить пустые."},
    {10, "zqSeriesNumberColor", F::Form4, kRows10,
     "Выбрать отрезок графика между точками (номер отрезка),\nи заполнить его выбранным цветом."},
    {11, "zqSeriesAllColor", F::Form3, kRows11, "Выбрать график и изменить его цвет."},
    {12, "zqSeriesArrayColor", F::EditForm1, kRows12,
     "Закрасить разными цветами отрезки графика между точками."},
    {13, "zqSeriesLineWidth", F::EditForm1, kRows13, "Установить ширину графиков (для 3D)."},
    {14, "zqSeriesLineBrush", F::Form3, kRows14, "Установить стиль раскраски линии графика в 3D."},
    {15, "zqSeriesLineBorder", F::Form6, kRows15,
     "Выбрать и установить цвет, толщину и стиль бордюра (линии, обрамляющей линию\n графика в "
     "3D).\nВозможно заполнять только необходимые для изменения поля, остальные\nоставить "
     "пустые."},
    {16, "zqSeriesLineStairs", F::Form4, kRows16,
     "Вкл\\откл свойство построения линии графика \"лестницей\".\nЛинии графика строятся не "
     "напрямую,\nа верт. - гориз. способом."},
    {17, "zqChartBackWall", F::Form6, kRows17, "Цвет и стиль задней стенки панели графиков."},
    {18, "zqChartBottomWall", F::Form6, kRows18, "Цвет и стиль нижней стенки панели графиков."},
    {19, "zqChartLeftWall", F::Form6, kRows19, "Цвет и стиль левой стенки панели графиков."},
    {20, "zqChartWallSize", F::Form4, kRows20,
     "Установить толщину стен панели графиков.\n(Целое число от 0 и больше (px))"},
    {21, "zqAxisStyle", F::Form6, kRows21,
     "Показать\\Скрыть оси графика, выбрать и установить расположение осей."},
    {22, "zqSeriesMarkStyle", F::Form6, kRows22,
     "Показать\\Скрыть маркеры диаграммы, установить цвет и тип\nотображаемой информации."},
    {23, "zqSeriesMarksFont", F::Form3, kRows23, "Выбрать и установить шрифт маркеров."},
    {24, "zqArrowStyle", F::Form6, kRows24,
     "Показать\\Скрыть стрелки (соединительные линии между маркером и точкой\nграфика), "
     "установить цвет,длину и стиль отображения."},
    {25, "zqArrowWidth", F::Form3, kRows25, "Установить толщину стрелок маркеров."},
    {26, "zqGradientFone", F::Form5, kRows26,
     "Выбрать и установить цвет и стиль градиента\n фона панели графиков."},
    {27, "zqColorFone", F::EditForm1, kRows27, "Выбрать и установить цвет фона панели графиков."},
    {28, "zqChartImageInside", F::Form4, kRows28,
     "Выбрать и установить файл изображения в качестве\nфона панели, или на панели графиков."},
    {29, "zqLineLegend", F::Form3, kRows29,
     "Показать\\Скрыть список обозначений и выбрать\nцвет панели списка обозначений."},
    {30, "zqLineLegendStyle", F::Form3, kRows30,
     "Установить стиль и вид отображаемой информации,\nизменить размер цветовых маркеров на "
     "панели\nсписка обозначений"},
    {31, "zqLineLegendFont", F::EditForm1, kRows31,
     "Выбрать и установить шрифт списка обозначений."},
    {32, "zqShadowLegend", F::Form3, kRows32,
     "Установить цвет и удалённость тени от списка\n обозначений"},
    {33, "zqResizeChart", F::EditForm1, kRows33,
     "Расположение списка всегда сверху (True \\ False)."},
    {34, "zqLineChartView3D", F::EditForm1, kRows34, "Установить вид отображения графиков (3D)."},
    {35, "zqLineChartView2D", F::EditForm1, kRows35, "Установить вид отображения графиков (2D)."},
    {36, "zq3DElevation", F::EditForm1, kRows36, "Свойство 3D панели графиков."},
    {37, "zq3DPerspective", F::EditForm1, kRows37, "Свойство 3D панели графиков."},
    {38, "zq3DRotation", F::EditForm1, kRows38, "Свойство 3D панели графиков."},
    {39, "zqChartHorizOffset", F::EditForm1, kRows39, "Сместить панель графиков по горизонтали."},
    {40, "zqChartVertOffset", F::EditForm1, kRows40, "Сместить панель графиков по вертикали."},
    {41, "zqChartTilt", F::EditForm1, kRows41, "Повернуть панель графиков на заданный угол."},
    {42, "zqChartZoom", F::EditForm1, kRows42, "Увеличить\\Уменьшить вид панели с графиками."},
    {43, "zqLineView3DWalls", F::EditForm1, kRows43,
     "Показать\\Скрыть панели графика, при этом\nсам график и оси графика остаются видимыми."},
    {44, "zqLineChartRoll", F::Form3, kRows44,
     "Установить шаг и вкл\\откл повороты панели графиков."},
}};

// Row layout: a 56-pixel panel per row, the label on top, the field below it and the buttons
// to the field's right.
constexpr int32_t kMargin = 8;
constexpr int32_t kPanelHeight = 56;
constexpr int32_t kInset = 8;
constexpr int32_t kFieldWidth = 325;
constexpr int32_t kButtonWidth = 26;
constexpr int32_t kButtonHeight = 24;
constexpr int32_t kButtonGap = 4;
constexpr int32_t kFooterHeight = 50;
constexpr int32_t kPushWidth = 70;
constexpr int32_t kPushHeight = 25;

}  // namespace

const FormInfo& Form(FormKind kind) {
  return kForms[size_t(kind)];
}

std::span<const FormatInfo> Formats() {
  return kFormats;
}

const FormatInfo& FormatOf(Format format) {
  return kFormats[size_t(format)];
}

std::span<const ActionDialog> ActionDialogs() {
  return kDialogs;
}

const ActionDialog* FindActionDialog(int32_t action) {
  if (action < 1 || action > int32_t(kDialogs.size())) return nullptr;
  return &kDialogs[size_t(action - 1)];
}

const KindInfo& Kind(RowKind kind) {
  return kKinds[size_t(kind)];
}

int32_t RequestCode(RowKind kind) {
  return kind == RowKind::Rectangle ? 8 : 14;
}

bool IsPickOnly(FormKind form, size_t row) {
  return (form == FormKind::EditForm1 && row == 1) || (form == FormKind::Form4 && row == 3);
}

RowPlaces PlaceRow(FormKind form, size_t row) {
  const FormInfo& info = Form(form);
  const bool twoColumns = info.twoColumns;
  const int32_t columnWidth =
      twoColumns ? (info.client.cx - 3 * kMargin) / 2 : info.client.cx - 2 * kMargin;
  const int32_t line = int32_t(twoColumns ? row / 2 : row);
  const int32_t left = kMargin + (twoColumns ? int32_t(row % 2) * (columnWidth + kMargin) : 0);
  const int32_t top = kMargin + line * kRowPitch;
  RowPlaces p;
  p.panel = {left, top, left + columnWidth, top + kPanelHeight};
  const int32_t inner = left + kInset;
  p.label = {inner, top + 6, p.panel.right - kInset, top + 21};
  // Room for two buttons after the field; the field is as wide as the row allows, up to 325.
  const int32_t field =
      std::min(kFieldWidth, columnWidth - 2 * kInset - 2 * (kButtonWidth + kButtonGap));
  p.field = {inner, top + 25, inner + field, top + 47};
  const int32_t buttonTop = top + 24;
  p.picker = {p.field.right + kButtonGap, buttonTop, p.field.right + kButtonGap + kButtonWidth,
              buttonTop + kButtonHeight};
  p.second = {p.picker.right + kButtonGap, buttonTop, p.picker.right + kButtonGap + kButtonWidth,
              buttonTop + kButtonHeight};
  return p;
}

FormPlaces PlaceForm(FormKind form) {
  const FormInfo& info = Form(form);
  const int32_t w = info.client.cx;
  const int32_t h = info.client.cy;
  const int32_t lines = info.twoColumns ? (info.rows + 1) / 2 : info.rows;
  const int32_t top = kMargin + lines * kRowPitch;
  const int32_t footerTop = h - kFooterHeight;
  FormPlaces p;
  p.name = {kMargin + kInset, top, w - kMargin - kInset, top + 17};
  p.description = {kMargin + kInset, top + 19, w - kMargin - kInset, footerTop - 2};
  p.footerLine = {kMargin, footerTop, w - kMargin, footerTop + 2};
  const int32_t pushTop = h - kMargin - 4 - kPushHeight;
  p.cancel = {w - kMargin - kPushWidth, pushTop, w - kMargin, pushTop + kPushHeight};
  p.ok = {p.cancel.left - 6 - kPushWidth, pushTop, p.cancel.left - 6, pushTop + kPushHeight};
  p.footerPicture = {kMargin + 4, footerTop + 10, kMargin + 4 + 32, footerTop + 42};
  p.footer = {p.footerPicture.right + 8, footerTop + 12, p.ok.left - 8, footerTop + 40};
  return p;
}

}  // namespace zq::dialogs
