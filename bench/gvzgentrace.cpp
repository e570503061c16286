// gvz-gentrace: writes deterministic trace files for benchmarks and the bundled examples.
//
//   gvz-gentrace ROWS COLUMNS FILE [SEED]   a table of noisy signals in mixed number forms
//   gvz-gentrace --example engine FILE      an engine test run
//   gvz-gentrace --example lorenz FILE      a 3-D trajectory (Lorenz attractor)

#include <QByteArray>
#include <QSaveFile>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

namespace {

// Uniform and normal deviates from a fixed generator, the same on every machine.
class Noise
{
public:
    explicit Noise(quint32 seed) : engine(seed) {}
    double uniform() { return double(engine()) / 4294967296.0; }
    double normal()
    {
        const double u = 1.0 - uniform();
        return std::sqrt(-2.0 * std::log(u)) * std::cos(2.0 * 3.14159265358979323846 * uniform());
    }
    quint32 next() { return quint32(engine()); }

private:
    std::mt19937 engine;
};

// Collects the text of a file and writes it atomically.
class TraceWriter
{
public:
    explicit TraceWriter(const char* path) : file(QString::fromLocal8Bit(path))
    {
        if (!file.open(QIODevice::WriteOnly))
            fail();
    }
    // Writes `value` with the printf `format`, then a tab, or the line end after the last cell;
    // `decimalComma` writes the fraction after a comma.
    void cell(const char* format, double value, bool lastCell, bool decimalComma = false)
    {
        char text[64];
        std::snprintf(text, sizeof text, format, value);
        if (char* dot = decimalComma ? std::strchr(text, '.') : nullptr)
            *dot = ',';
        buffer.append(text);
        buffer.append(lastCell ? '\n' : '\t');
        if (buffer.size() > (1 << 20))
            flush();
    }
    void text(const char* line) { buffer.append(line); }
    void commitOrFail()
    {
        flush();
        if (!file.commit())
            fail();
    }

private:
    void flush()
    {
        if (file.write(buffer) != buffer.size())
            fail();
        buffer.clear();
    }
    [[noreturn]] void fail() const
    {
        std::fprintf(stderr, "gvz-gentrace: cannot write %s: %s\n", qPrintable(file.fileName()),
                     qPrintable(file.errorString()));
        std::exit(1);
    }

    QSaveFile file;
    QByteArray buffer;
};

// Writes one cell in one of the forms a trace may hold: 12, -3.5, 1,25, 2.5E-1.
void mixedCell(TraceWriter& out, Noise& noise, double value, bool lastCell)
{
    const quint32 form = noise.next() % 20;
    if (form < 3) {
        out.cell("%.0f", value, lastCell);
    } else if (form < 6) {
        out.cell("%.3f", value, lastCell, true);
    } else if (form < 10) {
        out.cell("%.4E", value, lastCell);
    } else {
        out.cell("%.5f", value, lastCell);
    }
}

void table(long rows, int columns, const char* path, quint32 seed)
{
    TraceWriter out(path);
    for (int c = 0; c < columns; ++c) {
        char name[32];
        std::snprintf(name, sizeof name, "signal%d%c", c + 1, c + 1 < columns ? '\t' : '\n');
        out.text(name);
    }
    Noise noise(seed);
    for (long r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const double base = 100.0 * (c + 1) * std::sin(r * 0.001 * (c + 1));
            mixedCell(out, noise, base + noise.normal() * (c + 1), c + 1 == columns);
        }
    }
    out.commitOrFail();
}

// A test bench run: idle, then a throttle step at 5 s; the speed and torque follow with lag,
// the oil warms slowly, lambda and knock are noisy.
void engine(const char* path)
{
    TraceWriter out(path);
    out.text("rpm\ttorque\tthrottle\toil_temp\tlambda\tknock\ttime\n");
    Noise noise(2024);
    double rpm = 800.0;
    double torque = 20.0;
    for (int i = 0; i < 1500; ++i) {
        const double t = i * 0.01;
        const double throttle = t < 5.0 ? 8.0 : 62.0;
        rpm += (800.0 + throttle * 52.0 - rpm) * 0.02 + noise.normal() * 6.0;
        torque += (throttle * 3.1 - torque) * 0.05;
        const double oil = 92.0 - 12.0 * std::exp(-t / 6.0) + noise.normal() * 0.05;
        const double lambda =
            1.0 + (t < 5.0 ? 0.0 : -0.04 * std::exp(-(t - 5.0))) + noise.normal() * 0.004;
        const double knock = std::fabs(noise.normal()) * (t < 5.0 ? 4e-4 : 1.5e-3);
        out.cell("%.0f", rpm, false);
        out.cell("%.1f", torque + noise.normal() * 2.5, false);
        out.cell("%.0f", throttle, false);
        mixedCell(out, noise, oil, false);
        out.cell("%.4f", lambda, false);
        out.cell("%.2e", knock, false);
        out.cell("%.2f", t, true);
    }
    out.commitOrFail();
}

// The Lorenz system (sigma 10, rho 28, beta 8/3), integrated with fourth-order Runge-Kutta.
void lorenz(const char* path)
{
    TraceWriter out(path);
    out.text("x\ty\tz\n");
    struct State
    {
        double x, y, z;
    };
    const auto slope = [](const State& s) {
        return State{10.0 * (s.y - s.x), s.x * (28.0 - s.z) - s.y, s.x * s.y - 8.0 / 3.0 * s.z};
    };
    const auto step = [](const State& s, const State& d, double h) {
        return State{s.x + d.x * h, s.y + d.y * h, s.z + d.z * h};
    };
    State s{1.0, 1.0, 1.0};
    const double h = 0.01;
    for (int i = 0; i < 4000; ++i) {
        out.cell("%.4f", s.x, false);
        out.cell("%.4f", s.y, false);
        out.cell("%.4f", s.z, true);
        const State k1 = slope(s);
        const State k2 = slope(step(s, k1, h / 2));
        const State k3 = slope(step(s, k2, h / 2));
        const State k4 = slope(step(s, k3, h));
        s = State{s.x + h / 6 * (k1.x + 2 * k2.x + 2 * k3.x + k4.x),
                  s.y + h / 6 * (k1.y + 2 * k2.y + 2 * k3.y + k4.y),
                  s.z + h / 6 * (k1.z + 2 * k2.z + 2 * k3.z + k4.z)};
    }
    out.commitOrFail();
}

int usage()
{
    std::fprintf(stderr, "usage: gvz-gentrace ROWS COLUMNS FILE [SEED]\n"
                         "       gvz-gentrace --example engine|lorenz FILE\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "--example") == 0) {
        if (std::strcmp(argv[2], "engine") == 0)
            engine(argv[3]);
        else if (std::strcmp(argv[2], "lorenz") == 0)
            lorenz(argv[3]);
        else
            return usage();
        return 0;
    }
    if (argc != 4 && argc != 5)
        return usage();
    const long rows = std::atol(argv[1]);
    const int columns = std::atoi(argv[2]);
    if (rows < 0 || columns < 1)
        return usage();
    table(rows, columns, argv[3], argc == 5 ? quint32(std::strtoul(argv[4], nullptr, 10)) : 1u);
    return 0;
}
