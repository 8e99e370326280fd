#include "plugin/catalogue.h"

#include <array>
#include <deque>
#include <string>
#include <vector>

#include "platform/codepage.h"

namespace zq::plugin {

namespace {

constexpr ActionInfo kActions[kActionCount] = {
    {1, "zqCreateLineChart", "Создать объект Chart в Restangle для отображения графика.", 1},
    {2, "zqDeleteLineChart", "Удалить объект Chart в Rectangle.", 1},
    {3, "zqCreateSeriesLine", "Добавить график на панель Chart.", 6},
    {4, "zqDeleteSeriesLine", "Удалить график с панели по его имени.", 2},
    {5, "zqDeleteDotSeries",
     "Удалить из именного графика точку (XY) по номеру точки. Номер первой построенной точки равен "
     "нулю.",
     3},
    {6, "zqSetTitleLine", "Текст заголовка панели графиков (верхний колонтитул).", 4},
    {7, "zqSetFootLine", "Текст нижнего колонтитула панели графиков.", 4},
    {8, "zqSeriesDot3DStyle",
     "Скрыть\\Показать точки графика с 3D эффектом с возможностью выбора стиля.", 6},
    {9, "zqSeriesDotColor", "Установить цвет и размер точек графика.", 5},
    {10, "zqSeriesNumberColor",
     "Выбрать отрезок графика между точками (номер отрезка), и заполнить его выбранным цветом.", 4},
    {11, "zqSeriesAllColor", "Выбрать график и изменить его цвет.", 3},
    {12, "zqSeriesArrayColor", "Закрасить разными цветами отрезки графика между точками.", 2},
    {13, "zqSeriesLineWidth", "Установить ширину графиков (для 3D).", 2},
    {14, "zqSeriesLineBrush", "Установить стиль раскраски линии графика в 3D.", 3},
    {15, "zqSeriesLineBorder",
     "Выбрать и установить цвет, толщину и стиль бордюра (линии, обрамляющей линию графика в 3D).",
     6},
    {16, "zqSeriesLineStairs",
     "Вкл\\откл свойство построения линии графика \"лестницей\". Линии графика строятся не "
     "напрямую, а верт. - гориз. способом.",
     4},
    {17, "zqChartBackWall", "Цвет и стиль задней стенки панели графиков.", 6},
    {18, "zqChartBottomWall", "Цвет и стиль нижней стенки панели графиков.", 6},
    {19, "zqChartLeftWall", "Цвет и стиль левой стенки панели графиков.", 6},
    {20, "zqChartWallSize", "Установить толщину стен панели графиков.", 4},
    {21, "zqAxisStyle", "Показать\\Скрыть оси графика, выбрать и установить расположение осей.", 6},
    {22, "zqSeriesMarkStyle",
     "Показать\\Скрыть маркеры диаграммы, установить цвет и тип отображаемой информации.", 6},
    {23, "zqSeriesMarksFont", "Выбрать и установить шрифт маркеров.", 3},
    {24, "zqArrowStyle",
     "Показать\\Скрыть стрелки (соединительные линии между маркером и точкой графика), установить "
     "цвет,длину и стиль отображения.",
     6},
    {25, "zqArrowWidth", "Выбрать и установить толщину стрелок маркеров.", 3},
    {26, "zqGradientFone", "Выбрать и установить цвет и стиль градиента фона панели графиков.", 5},
    {27, "zqColorFone", "Выбрать и установить цвет фона панели графиков.", 2},
    {28, "zqChartImageInside",
     "Выбрать и установить файл изображения в качестве фона панели, или на панели графиков.", 4},
    {29, "zqLineLegend",
     "Показать\\Скрыть список обозначений и выбрать цвет панели списка обозначений.", 3},
    {30, "zqLineLegendStyle",
     "Установить стиль и вид отображаемой информации, изменить размер цветовых маркеров на панели "
     "списка обозначений.",
     3},
    {31, "zqLineLegendFont", "Выбрать и установить шрифт списка обозначений.", 2},
    {32, "zqShadowLegend", "Установить цвет и удалённость тени от списка обозначений.", 3},
    {33, "zqResizeChart", "Расположение списка обозначений всегда сверху (True\\False).", 2},
    {34, "zqLineChartView3D",
     "Установить вид графиков (3D или обычное графическое исполнение), при этом рисунок на панели "
     "будет отсутствовать и неактивны команды проекции.",
     2},
    {35, "zqLineChartView2D",
     "Установить вид графиков (2D или 3D), при этом команды для вида 3D неактивны.", 2},
    {36, "zq3DElevation", "Свойство 3D панели графиков.", 2},
    {37, "zq3DPerspective", "Свойство 3D панели графиков.", 2},
    {38, "zq3DRotation", "Свойство 3D панели графиков.", 2},
    {39, "zqChartHorizOffset", "Сместить панель графиков по горизонтали.", 2},
    {40, "zqChartVertOffset", "Сместить панель графиков по вертикали.", 2},
    {41, "zqChartTilt", "Повернуть (вращать) панель графиков на заданный угол.", 2},
    {42, "zqChartZoom", "Увеличить\\Уменьшить вид панели с графиками на заданное число (процент).",
     2},
    {43, "zqLineView3DWalls",
     "Показать\\Скрыть панели графиков, при этом сам график и оси графиков остаются видимыми.", 2},
    {44, "zqLineChartRoll", "Повороты панели графиков.", 3},
};

constexpr CategoryInfo kCategories[kCategoryCount] = {
    {"Построение графиков", 1}, {"Вид линий и точек графиков", 8}, {"Панели осей графиков", 17},
    {"Оси графиков", 21},       {"Маркеры графиков", 22},          {"Фон панелей графиков", 26},
    {"Список обозначений", 29}, {"3D вид графиков", 34},           {"Дополнительные функции", 44},
};

// Every parameter is a text: type code 1. The largest action has six parameters; a category
// entry passes a one-element array.
constexpr std::array<uint8_t, 6> kTypeCodes = {1, 1, 1, 1, 1, 1};

struct RegistrationTable {
  std::deque<std::string> texts;  // Windows-1251 bytes, kept alive (and in place) for the process
  std::vector<Registration> rows;

  RegistrationTable() {
    auto keep = [this](const char* utf8) {
      texts.push_back(platform::Utf8ToCp1251(utf8));
      return texts.back().c_str();
    };
    int32_t category = 0;
    for (const ActionInfo& action : kActions) {
      if (category < kCategoryCount && kCategories[category].firstAction == action.number) {
        rows.push_back({0, keep(kCategories[category].title), keep(""), kTypeCodes.data(), 0, 0});
        ++category;
      }
      rows.push_back({action.number, keep(action.name), keep(action.description), kTypeCodes.data(),
                      action.parameterCount - 1, action.parameterCount});
    }
  }
};

}  // namespace

std::span<const ActionInfo> Actions() {
  return kActions;
}
std::span<const CategoryInfo> Categories() {
  return kCategories;
}

const ActionInfo* FindAction(int32_t number) {
  if (number < 1 || number > kActionCount) return nullptr;
  return &kActions[number - 1];
}

std::span<const Registration> Registrations() {
  static const RegistrationTable table;
  return table.rows;
}

}  // namespace zq::plugin
