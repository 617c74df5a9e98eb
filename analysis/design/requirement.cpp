// The requirement of a design, read from a response mask.
#include "analysis/design/requirement.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "analysis/design/cascade.h"

namespace analysis::design {
namespace {

constexpr Real two_pi = 2 * std::numbers::pi_v<Real>;

std::string line_text(int line) { return "linha " + std::to_string(line) + ": "; }

struct Band {
    Real w1, w2;
    std::vector<const MaskRange*> ranges;
};

// Pass ranges grouped into bands: ranges that overlap or touch, or that
// no stop range parts, are one band.
std::vector<Band> pass_bands(std::vector<const MaskRange*> pass, const std::vector<const MaskRange*>& stop,
                             Real to_w) {
    std::sort(pass.begin(), pass.end(), [](auto* a, auto* b) { return a->f1 < b->f1; });
    std::vector<Band> bands;
    for (const MaskRange* r : pass) {
        if (!bands.empty()) {
            Band& last = bands.back();
            const bool parted = std::any_of(stop.begin(), stop.end(), [&](const MaskRange* s) {
                return s->f1 * to_w >= last.w2 && s->f2 * to_w <= r->f1 * to_w;
            });
            if (!parted) {
                last.w2 = std::max(last.w2, r->f2 * to_w);
                last.ranges.push_back(r);
                continue;
            }
        }
        bands.push_back({r->f1 * to_w, r->f2 * to_w, {r}});
    }
    return bands;
}

}  // namespace

std::string filter_type_name(FilterType t) {
    switch (t) {
        case FilterType::lowpass:
            return "passa-baixas";
        case FilterType::highpass:
            return "passa-altas";
        case FilterType::bandpass:
            return "passa-faixa";
        case FilterType::bandstop:
            return "rejeita-faixa";
    }
    return "";
}

bool filter_type_from_name(const std::string& text, FilterType& t) {
    std::string s = text;
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (s == "lowpass")
        t = FilterType::lowpass;
    else if (s == "highpass")
        t = FilterType::highpass;
    else if (s == "bandpass")
        t = FilterType::bandpass;
    else if (s == "bandstop")
        t = FilterType::bandstop;
    else
        return false;
    return true;
}

RequirementReading requirement_from_mask(const ResponseMask& mask) {
    RequirementReading out;
    Requirement& q = out.requirement;
    q.hertz = mask.hertz;
    const Real to_w = mask.hertz ? two_pi : 1;
    std::vector<const MaskRange*> pass, stop, delay;
    for (const MaskRange& r : mask.ranges) {
        if (r.quantity == MaskQuantity::delay) {
            delay.push_back(&r);
        } else if (r.f1 == r.f2) {
            q.point_lines.push_back(r.line);
        } else if (r.has_lower) {
            pass.push_back(&r);
        } else {
            stop.push_back(&r);
        }
    }
    if (pass.empty()) {
        out.refusals.push_back("nenhuma banda de passagem (faixa de módulo com limite inferior).");
        return out;
    }
    // A stop range may not overlap a pass range.
    for (const MaskRange* s : stop)
        for (const MaskRange* p : pass)
            if (s->f1 < p->f2 && p->f1 < s->f2)
                out.refusals.push_back(line_text(s->line) +
                                       "banda de rejeição dentro da banda de passagem (linha " +
                                       std::to_string(p->line) + ").");
    if (!out.refusals.empty()) return out;
    if (stop.empty()) {
        out.refusals.push_back(
            "nenhuma banda de rejeição (faixa de módulo só com limite superior): o tipo "
            "do filtro não fica definido.");
        return out;
    }
    const std::vector<Band> bands = pass_bands(pass, stop, to_w);
    if (bands.size() > 2) {
        out.refusals.push_back(line_text(bands[2].ranges.front()->line) +
                               "mais de duas bandas de passagem: o projeto faz um filtro de uma só banda.");
        return out;
    }
    // The pass band's limits: the highest lower limit, the lowest upper one.
    bool has_upper = false;
    q.lower_db = -1e300L;
    q.upper_db = 1e300L;
    for (const MaskRange* p : pass) {
        q.lower_db = std::max(q.lower_db, p->lower);
        if (p->has_upper) {
            q.upper_db = std::min(q.upper_db, p->upper);
            has_upper = true;
        }
    }
    if (!has_upper) {
        out.refusals.push_back("a banda de passagem não tem limite superior: a ondulação não fica definida.");
        return out;
    }
    if (!(q.upper_db > q.lower_db)) {
        out.refusals.push_back(line_text(pass.front()->line) +
                               "os limites da banda de passagem não deixam ondulação (inferior " +
                               short_text(q.lower_db) + " dB, superior " + short_text(q.upper_db) + " dB).");
        return out;
    }
    const Real lo = bands.front().w1, hi = bands.back().w2;
    int below = 0, above = 0, between = 0;
    for (const MaskRange* s : stop) {
        const Real w1 = s->f1 * to_w, w2 = s->f2 * to_w;
        if (w2 <= lo)
            ++below;
        else if (w1 >= hi)
            ++above;
        else
            ++between;
        if (!(s->upper < q.lower_db))
            out.refusals.push_back(line_text(s->line) + "o limite da banda de rejeição (" +
                                   short_text(s->upper) + " dB) não fica abaixo da banda de passagem (" +
                                   short_text(q.lower_db) + " dB).");
        q.stops.push_back({w1, w2, s->upper, s->line});
    }
    if (!out.refusals.empty()) return out;
    if (bands.size() == 2) {
        if (below > 0 || above > 0) {
            out.refusals.push_back(
                "bandas de rejeição entre e fora das bandas de passagem: o projeto faz um "
                "rejeita-faixa ou um passa-faixa, não os dois.");
            return out;
        }
        q.type = FilterType::bandstop;
        q.wp1 = bands[0].w2;
        q.wp2 = bands[1].w1;
    } else if (below > 0 && above > 0) {
        q.type = FilterType::bandpass;
        q.wp1 = lo;
        q.wp2 = hi;
    } else if (above > 0) {
        q.type = FilterType::lowpass;
        q.wp2 = hi;
    } else {
        q.type = FilterType::highpass;
        q.wp1 = lo;
    }
    if (!delay.empty()) {
        q.flat_delay = true;
        q.delay_w1 = 1e300L;
        for (const MaskRange* d : delay) {
            q.delay_w1 = std::min(q.delay_w1, d->f1 * to_w);
            q.delay_w2 = std::max(q.delay_w2, d->f2 * to_w);
            if (d->has_lower) q.delay_lower = std::max(q.delay_lower.value_or(d->lower), d->lower);
            if (d->has_upper) q.delay_upper = std::min(q.delay_upper.value_or(d->upper), d->upper);
        }
        if (q.delay_lower && q.delay_upper && *q.delay_lower > *q.delay_upper) {
            out.refusals.push_back(line_text(delay.front()->line) +
                                   "os limites de atraso das faixas não deixam valor comum.");
            return out;
        }
    }
    return out;
}

Real prototype_frequency(const Requirement& r, Real w) {
    switch (r.type) {
        case FilterType::lowpass:
            return w / r.wp2;
        case FilterType::highpass:
            return r.wp1 / w;
        case FilterType::bandpass: {
            const Real w0sq = r.wp1 * r.wp2;
            return std::fabs(w * w - w0sq) / (w * (r.wp2 - r.wp1));
        }
        case FilterType::bandstop: {
            const Real w0sq = r.wp1 * r.wp2;
            const Real d = std::fabs(w0sq - w * w);
            return d == 0 ? 1e300L : w * (r.wp2 - r.wp1) / d;
        }
    }
    return w;
}

Real default_margin(const Requirement& r) { return (r.upper_db - r.lower_db) / 10; }

PrototypeTargets prototype_targets(const Requirement& r, Real margin_db) {
    PrototypeTargets t;
    const Real ripple = r.upper_db - r.lower_db - 2 * margin_db;
    t.peak_db = r.upper_db - margin_db;
    t.nearest.ripple_db = ripple;
    t.nearest.stop_edge = 1e300L;
    t.nearest.attenuation_db = 0;
    for (const StopBand& s : r.stops) {
        // The edge of the band nearest the pass band maps to the smallest Ω.
        const Real omega = std::min(prototype_frequency(r, s.w1), prototype_frequency(r, s.w2));
        PrototypeRequirement each{ripple, r.upper_db - s.upper_db, omega};
        t.each_stop.push_back(each);
        t.nearest.stop_edge = std::min(t.nearest.stop_edge, omega);
        t.nearest.attenuation_db = std::max(t.nearest.attenuation_db, each.attenuation_db);
    }
    return t;
}

std::string check_requirement_options(const RequirementOptions& o) {
    const std::size_t edges = (o.type == FilterType::lowpass || o.type == FilterType::highpass) ? 1 : 2;
    const char* which = edges == 1 ? "one frequency" : "two frequencies F1,F2";
    if (o.pass.size() != edges) return std::string("--pass needs ") + which + " for this --type";
    if (o.stop.size() != edges) return std::string("--stop needs ") + which + " for this --type";
    for (Real f : o.pass)
        if (!(f > 0)) return "--pass frequencies must be positive";
    for (Real f : o.stop)
        if (!(f > 0)) return "--stop frequencies must be positive";
    if (!(o.ripple_db > 0)) return "--ripple must be positive";
    if (!(o.attenuation_db > o.ripple_db)) return "--attenuation must be larger than --ripple";
    switch (o.type) {
        case FilterType::lowpass:
            if (!(o.stop[0] > o.pass[0])) return "a low-pass needs its --stop edge above its --pass edge";
            break;
        case FilterType::highpass:
            if (!(o.stop[0] < o.pass[0])) return "a high-pass needs its --stop edge below its --pass edge";
            break;
        case FilterType::bandpass:
            if (!(o.stop[0] < o.pass[0] && o.pass[0] < o.pass[1] && o.pass[1] < o.stop[1]))
                return "a band-pass needs --stop F1 < --pass F1 < --pass F2 < --stop F2";
            break;
        case FilterType::bandstop:
            if (!(o.pass[0] < o.stop[0] && o.stop[0] < o.stop[1] && o.stop[1] < o.pass[1]))
                return "a band-stop needs --pass F1 < --stop F1 < --stop F2 < --pass F2";
            break;
    }
    return {};
}

std::vector<std::string> mask_lines(const RequirementOptions& o, const std::string& title) {
    auto v = [](Real x) { return netlist_value(x); };
    const std::string top = v(o.gain_db), low = v(o.gain_db - o.ripple_db),
                      stop = v(o.gain_db - o.attenuation_db);
    auto pass_line = [&](Real f1, Real f2) {
        return "modulo " + v(f1) + " " + v(f2) + " " + low + " " + top;
    };
    auto stop_line = [&](Real f1, Real f2) { return "modulo " + v(f1) + " " + v(f2) + " - " + stop; };
    std::vector<std::string> lines{"* " + title, "unidade Hz"};
    switch (o.type) {
        case FilterType::lowpass:
            lines.push_back(pass_line(o.pass[0] / 10, o.pass[0]));
            lines.push_back(stop_line(o.stop[0], o.stop[0] * 10));
            break;
        case FilterType::highpass:
            lines.push_back(stop_line(o.stop[0] / 10, o.stop[0]));
            lines.push_back(pass_line(o.pass[0], o.pass[0] * 10));
            break;
        case FilterType::bandpass:
            lines.push_back(stop_line(o.stop[0] / 10, o.stop[0]));
            lines.push_back(pass_line(o.pass[0], o.pass[1]));
            lines.push_back(stop_line(o.stop[1], o.stop[1] * 10));
            break;
        case FilterType::bandstop:
            lines.push_back(pass_line(o.pass[0] / 10, o.pass[0]));
            lines.push_back(stop_line(o.stop[0], o.stop[1]));
            lines.push_back(pass_line(o.pass[1], o.pass[1] * 10));
            break;
    }
    return lines;
}

}  // namespace analysis::design
