#include "files/datalog.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>
#include <limits>
#include <string_view>
#include <unordered_map>

#include "link/monitor_decoder.h"

namespace torvane {

namespace {

// The field of the live values a column holds, as the raw value the unit sends.
class Slot {
  public:
    explicit Slot(std::uint8_t& field) : narrow_(&field) {}
    explicit Slot(std::uint16_t& field) : wide_(&field) {}
    int get() const { return narrow_ ? *narrow_ : *wide_; }
    // Held to the field's range.
    void set(double raw) const {
        const double max = narrow_ ? 0xFF : 0xFFFF;
        const int v = static_cast<int>(std::clamp(raw, 0.0, max));
        if (narrow_) {
            *narrow_ = static_cast<std::uint8_t>(v);
        } else {
            *wide_ = static_cast<std::uint16_t>(v);
        }
    }

  private:
    std::uint8_t* narrow_ = nullptr;
    std::uint16_t* wide_ = nullptr;
};

// One column after the time: logged as (raw - offset) / divisor, with one decimal where the divisor
// is 10 (the unit's 0.1 steps), so every raw value reads back exactly.
struct ColumnRule {
    DatalogColumn column;
    Slot (*slot)(LiveValues&);
    int divisor = 1;
    int offset = 0;
    bool sensorByte = false;  // a raw 0 is the sensor-error code and is logged as an empty cell
};

constexpr int Tenths = 10;

// Every column after the time, in the order of the header.
const std::vector<ColumnRule>& ValueRules() {
    using L = LiveValues&;
    static const std::vector<ColumnRule> rules = {
        {{"rpm", "1/min"}, [](L l) { return Slot(l.EngineSpeed); }},
        {{"tps", "%"}, [](L l) { return Slot(l.ThrottleOpening); }, Tenths},
        {{"ambient_pressure", "kPa"}, [](L l) { return Slot(l.monitor.ambientPressure); }, Tenths},
        {{"intake_pressure", "kPa"}, [](L l) { return Slot(l.IntakePressure); }},
        {{"coolant", "C"}, [](L l) { return Slot(l.monitor.coolantRaw); }, 1, 100, true},
        {{"air", "C"}, [](L l) { return Slot(l.monitor.airRaw); }, 1, 100, true},
        {{"lambda", "mV"}, [](L l) { return Slot(l.monitor.lambdaMv); }},
        {{"inj_a1", "ms"}, [](L l) { return Slot(l.monitor.injectionA[0]); }, Tenths},
        {{"inj_a2", "ms"}, [](L l) { return Slot(l.monitor.injectionA[1]); }, Tenths},
        {{"inj_a3", "ms"}, [](L l) { return Slot(l.monitor.injectionA[2]); }, Tenths},
        {{"inj_a4", "ms"}, [](L l) { return Slot(l.monitor.injectionA[3]); }, Tenths},
        {{"inj_b1", "ms"}, [](L l) { return Slot(l.monitor.injectionB[0]); }, Tenths},
        {{"inj_b2", "ms"}, [](L l) { return Slot(l.monitor.injectionB[1]); }, Tenths},
        {{"inj_b3", "ms"}, [](L l) { return Slot(l.monitor.injectionB[2]); }, Tenths},
        {{"inj_b4", "ms"}, [](L l) { return Slot(l.monitor.injectionB[3]); }, Tenths},
        {{"adv_1", "deg"}, [](L l) { return Slot(l.monitor.advance[0]); }},
        {{"adv_2", "deg"}, [](L l) { return Slot(l.monitor.advance[1]); }},
        {{"adv_3", "deg"}, [](L l) { return Slot(l.monitor.advance[2]); }},
        {{"adv_4", "deg"}, [](L l) { return Slot(l.monitor.advance[3]); }},
        {{"coolant_jet_corr", "%"}, [](L l) { return Slot(l.monitor.coolantJetCorrection); }, Tenths},
        {{"air_jet_corr", "%"}, [](L l) { return Slot(l.monitor.airJetCorrection); }, Tenths},
        {{"ambient_jet_corr", "%"}, [](L l) { return Slot(l.monitor.ambientJetCorrection); }, Tenths},
        {{"start_jet_corr", "%"}, [](L l) { return Slot(l.monitor.startJetCorrection); }, Tenths},
        {{"supply_jet_corr", "us"}, [](L l) { return Slot(l.monitor.supplyJetCorrection); }, 1, 1000},
        {{"coolant_adv_corr", "deg"},
         [](L l) { return Slot(l.monitor.coolantAdvanceCorrection); },
         Tenths,
         1000},
        {{"pot_adv_corr", "deg"},
         [](L l) { return Slot(l.monitor.potentiometerAdvanceCorrection); },
         Tenths,
         1000},
        {{"idle_adv_corr", "deg"}, [](L l) { return Slot(l.monitor.idleAdvanceCorrection); }, Tenths, 1000},
        {{"pot_jet_corr", "%"}, [](L l) { return Slot(l.monitor.potentiometerJetCorrection); }, Tenths},
        {{"gear", ""}, [](L l) { return Slot(l.Gear); }},
        {{"speed", "km/h"}, [](L l) { return Slot(l.monitor.roadSpeed); }},
        {{"throttle_share", "%"}, [](L l) { return Slot(l.ThrottleShare); }},
        {{"after_start", ""}, [](L l) { return Slot(l.AfterStartTimer); }},
        {{"speed_ratio", ""}, [](L l) { return Slot(l.SpeedRatio); }, Tenths},
        {{"gear_sensor", "mV"}, [](L l) { return Slot(l.GearSensorMv); }},
        {{"throttle_sensor", "mV"}, [](L l) { return Slot(l.ThrottleSensorMv); }},
        {{"supply", "mV"}, [](L l) { return Slot(l.monitor.supplyMv); }},
        {{"position_a", "deg"}, [](L l) { return Slot(l.monitor.positionA); }},
        {{"position_b", "deg"}, [](L l) { return Slot(l.monitor.positionB); }},
        {{"pilot_light", ""}, [](L l) { return Slot(l.monitor.pilotLight); }},
        {{"flags_1", ""}, [](L l) { return Slot(l.monitor.flags[0]); }},
        {{"flags_2", ""}, [](L l) { return Slot(l.monitor.flags[1]); }},
        {{"flags_3", ""}, [](L l) { return Slot(l.monitor.flags[2]); }},
        {{"flags_4", ""}, [](L l) { return Slot(l.monitor.flags[3]); }},
    };
    return rules;
}

// The engine speed column: the duty of a frame needs the speed of the frame before.
const ColumnRule& SpeedRule() {
    return ValueRules().front();
}

constexpr DatalogColumn TimeColumn{"time", "s"};
constexpr int TimeDecimals = 3;

// The rule of a column name, or nullptr.
const ColumnRule* RuleOf(std::string_view name) {
    static const std::unordered_map<std::string_view, const ColumnRule*> byName = [] {
        std::unordered_map<std::string_view, const ColumnRule*> map;
        for (const ColumnRule& rule : ValueRules()) map.emplace(rule.column.name, &rule);
        return map;
    }();
    const auto it = byName.find(name);
    return it == byName.end() ? nullptr : it->second;
}

// (raw - offset) / divisor, exactly: integer part and, for a divisor of 10, one decimal.
void AppendScaled(std::string& out, int raw, const ColumnRule& rule) {
    const int value = raw - rule.offset;
    char buffer[16];
    char* p = buffer;
    if (value < 0) *p++ = '-';
    const unsigned magnitude = static_cast<unsigned>(value < 0 ? -value : value);
    const unsigned divisor = static_cast<unsigned>(rule.divisor);
    p = std::to_chars(p, std::end(buffer), magnitude / divisor).ptr;
    if (divisor == Tenths) {
        *p++ = '.';
        *p++ = static_cast<char>('0' + magnitude % 10);
    }
    out.append(buffer, p);
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

// Splits "name [unit]" into its parts; a cell without brackets is a name alone.
void SplitHeaderCell(std::string_view cell, std::string& name, std::string& unit) {
    cell = Trim(cell);
    const std::size_t open = cell.rfind('[');
    if (open != std::string_view::npos && !cell.empty() && cell.back() == ']') {
        name = std::string(Trim(cell.substr(0, open)));
        unit = std::string(Trim(cell.substr(open + 1, cell.size() - open - 2)));
    } else {
        name = std::string(cell);
        unit.clear();
    }
}

// One cell of a row: empty is NaN (no value logged), anything else must be a finite number.
bool ParseCell(std::string_view cell, double& value) {
    cell = Trim(cell);
    if (cell.empty()) {
        value = std::numeric_limits<double>::quiet_NaN();
        return true;
    }
    if (cell.front() == '+') cell.remove_prefix(1);
    const auto [ptr, ec] = std::from_chars(cell.data(), cell.data() + cell.size(), value);
    return ec == std::errc() && ptr == cell.data() + cell.size() && std::isfinite(value);
}

// The raw value a logged number stands for.
double RawOf(double value, const ColumnRule& rule) {
    return std::round(value * rule.divisor) + rule.offset;
}

}  // namespace

const std::vector<DatalogColumn>& DatalogColumns() {
    static const std::vector<DatalogColumn> columns = [] {
        std::vector<DatalogColumn> c{TimeColumn};
        for (const ColumnRule& rule : ValueRules()) c.push_back(rule.column);
        return c;
    }();
    return columns;
}

std::string DatalogHeader() {
    std::string out;
    for (const DatalogColumn& c : DatalogColumns()) {
        if (!out.empty()) out += ',';
        out += c.name;
        if (!c.unit.empty()) {
            out += " [";
            out += c.unit;
            out += ']';
        }
    }
    return out;
}

std::string FormatDatalogRow(double seconds, const LiveValues& live) {
    std::string out;
    out.reserve(192);
    char buffer[64];
    auto time = std::to_chars(buffer, std::end(buffer), seconds, std::chars_format::fixed, TimeDecimals);
    // Only an absurd time does not fit with three decimals; it is written in the shortest form instead.
    if (time.ec != std::errc()) time = std::to_chars(buffer, std::end(buffer), seconds);
    out.append(buffer, time.ptr);
    LiveValues fields = live;  // the slots give write access; this copy is only read
    for (const ColumnRule& rule : ValueRules()) {
        out += ',';
        const int raw = rule.slot(fields).get();
        if (rule.sensorByte && raw == 0) continue;
        AppendScaled(out, raw, rule);
    }
    return out;
}

int Datalog::column(std::string_view name) const {
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] == name) return static_cast<int>(i);
    }
    return -1;
}

double Datalog::value(std::string_view name, std::size_t row) const {
    const int c = column(name);
    if (c < 0 || row >= columns[static_cast<std::size_t>(c)].size()) return 0;
    return columns[static_cast<std::size_t>(c)][row];
}

std::optional<Datalog> ParseDatalog(std::string_view text, std::string& error) {
    // A log saved by a spreadsheet may start with a byte order mark.
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);

    const std::size_t headerEnd = std::min(text.find('\n'), text.size());
    const std::string_view header = text.substr(0, headerEnd);
    Datalog log;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = std::min(header.find(',', start), header.size());
        std::string name, unit;
        SplitHeaderCell(header.substr(start, comma - start), name, unit);
        log.names.push_back(std::move(name));
        log.units.push_back(std::move(unit));
        if (comma == header.size()) break;
        start = comma + 1;
    }
    const int timeColumn = log.column(TimeColumn.name);
    if (timeColumn < 0) {
        error = "no \"time\" column in the header";
        return std::nullopt;
    }

    const std::size_t cells = log.names.size();
    log.columns.assign(cells, {});
    const std::size_t expectedRows = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
    for (auto& c : log.columns) c.reserve(expectedRows);

    std::vector<double> row(cells);
    std::size_t pos = headerEnd;
    while (pos < text.size()) {
        ++pos;  // past the line end
        const std::size_t end = std::min(text.find('\n', pos), text.size());
        const std::string_view line = text.substr(pos, end - pos);
        pos = end;
        if (Trim(line).empty()) continue;

        bool good = true;
        std::size_t cell = 0;
        std::size_t from = 0;
        while (good) {
            const std::size_t comma = std::min(line.find(',', from), line.size());
            if (cell >= cells || !ParseCell(line.substr(from, comma - from), row[cell])) good = false;
            ++cell;
            if (comma == line.size()) break;
            from = comma + 1;
        }
        if (!good || cell != cells || std::isnan(row[static_cast<std::size_t>(timeColumn)])) {
            ++log.skippedLines;
            continue;
        }
        for (std::size_t c = 0; c < cells; ++c) log.columns[c].push_back(row[c]);
    }
    return log;
}

std::optional<Datalog> ReadDatalog(const std::string& path, std::string& error) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        error = "cannot open \"" + path + "\"";
        return std::nullopt;
    }
    // Read in chunks rather than by the file's size: a log still being written grows meanwhile.
    std::string text;
    char chunk[1 << 16];
    std::size_t n = 0;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) text.append(chunk, n);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        error = "cannot read \"" + path + "\"";
        return std::nullopt;
    }
    return ParseDatalog(text, error);
}

LiveValues LiveValuesFromDatalog(const Datalog& log, std::size_t row) {
    LiveValues live;
    if (row >= log.rows()) return live;
    int speedColumn = -1;
    for (std::size_t c = 0; c < log.names.size(); ++c) {
        const ColumnRule* rule = RuleOf(log.names[c]);
        if (rule == nullptr) continue;
        if (rule == &SpeedRule()) speedColumn = static_cast<int>(c);
        const double value = log.columns[c][row];
        if (!std::isnan(value)) {
            rule->slot(live).set(RawOf(value, *rule));
        } else if (rule->sensorByte) {
            rule->slot(live).set(0);  // an empty temperature cell is the unit's sensor error
        }
    }
    // What the decoder derives from the logged bytes.
    if (log.column("coolant") >= 0) live.CoolantTemperature = CoolantTemperatureOf(live.monitor.coolantRaw);
    if (log.column("air") >= 0) live.AirTemperature = live.monitor.airRaw;
    DeriveMonitorStates(live);
    std::uint16_t previousSpeed = 0;
    if (speedColumn >= 0 && row > 0) {
        const double v = log.columns[static_cast<std::size_t>(speedColumn)][row - 1];
        if (!std::isnan(v))
            previousSpeed = static_cast<std::uint16_t>(std::clamp(RawOf(v, SpeedRule()), 0.0, 65535.0));
    }
    live.monitor.dutyPercent = MonitorDutyPercent(previousSpeed, live.monitor);
    live.monitorFrames = static_cast<std::uint32_t>(row + 1);
    return live;
}

DatalogWriter::~DatalogWriter() {
    close();
}

bool DatalogWriter::open(const std::string& path, std::string& error) {
    close();
    file_ = std::fopen(path.c_str(), "wb");
    if (file_ == nullptr) {
        error = "cannot create \"" + path + "\"";
        return false;
    }
    path_ = path;
    rows_ = 0;
    const std::string header = DatalogHeader() + '\n';
    if (std::fwrite(header.data(), 1, header.size(), file_) != header.size() || std::fflush(file_) != 0) {
        error = "cannot write \"" + path + "\"";
        close();
        return false;
    }
    return true;
}

bool DatalogWriter::append(double seconds, const LiveValues& live) {
    if (file_ == nullptr) return false;
    std::string line = FormatDatalogRow(seconds, live);
    line += '\n';
    if (std::fwrite(line.data(), 1, line.size(), file_) != line.size() || std::fflush(file_) != 0)
        return false;
    ++rows_;
    return true;
}

void DatalogWriter::close() {
    if (file_ == nullptr) return;
    std::fclose(file_);
    file_ = nullptr;
}

}  // namespace torvane
