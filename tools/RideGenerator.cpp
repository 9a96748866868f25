#include "RideGenerator.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kKmPerDegree = 111.195;  // length of one degree of latitude
constexpr double kMaxSeconds = 1000.0 * 3600.0;  // beyond any ride
constexpr int kCourseSteps = 4096;         // resolution of the arc-length table
constexpr std::size_t kFlushBytes = 4u << 20;

// ---------------------------------------------------------------- numbers

// Uniform in (0, 1). The standard distributions differ between library
// implementations; drawing straight from the engine keeps the files identical
// on every platform.
double uniform(std::mt19937 &rng)
{
    return (static_cast<double>(rng()) + 0.5) / 4294967296.0;
}

double uniform(std::mt19937 &rng, double lo, double hi)
{
    return lo + (hi - lo) * uniform(rng);
}

// Standard normal deviate (Box-Muller, one value per pair of draws).
double gaussian(std::mt19937 &rng)
{
    const double u1 = uniform(rng);
    const double u2 = uniform(rng);
    return std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * kPi * u2);
}

// One step of an Ornstein-Uhlenbeck process: x wanders around mean with
// standard deviation sigma and correlation time tau, whatever the step dt.
double wander(double x, double mean, double sigma, double tau, double dt, std::mt19937 &rng)
{
    const double a = std::exp(-dt / tau);
    return mean + (x - mean) * a + sigma * std::sqrt(1.0 - a * a) * gaussian(rng);
}

double clampTo(double v, double lo, double hi)
{
    return std::min(std::max(v, lo), hi);
}

// ---------------------------------------------------------------- text

// The files must carry a "." as decimal point whatever the process locale is,
// and the long rides must be written quickly: numbers are formatted by hand.
void appendInt(std::string &out, long long v)
{
    char digits[24];
    int n = 0;
    const bool negative = v < 0;
    unsigned long long u = negative ? 0ull - static_cast<unsigned long long>(v)
                                    : static_cast<unsigned long long>(v);
    do {
        digits[n++] = static_cast<char>('0' + u % 10);
        u /= 10;
    } while (u != 0);
    if (negative)
        out.push_back('-');
    while (n > 0)
        out.push_back(digits[--n]);
}

void appendTwoDigits(std::string &out, int v)
{
    out.push_back(static_cast<char>('0' + (v / 10) % 10));
    out.push_back(static_cast<char>('0' + v % 10));
}

// Non-negative v with leading zeros up to width digits.
void appendPadded(std::string &out, long long v, int width)
{
    for (long long limit = 10; width > 1; --width, limit *= 10) {
        if (v < limit)
            out.push_back('0');
    }
    appendInt(out, v);
}

void appendFixed(std::string &out, double v, int decimals)
{
    static const long long scales[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000};
    const long long scale = scales[decimals];
    long long q = std::llround(v * static_cast<double>(scale));
    if (q < 0) {
        out.push_back('-');
        q = -q;
    }
    appendInt(out, q / scale);
    if (decimals == 0)
        return;
    out.push_back('.');
    long long frac = q % scale;
    char digits[8];
    for (int i = decimals - 1; i >= 0; --i) {
        digits[i] = static_cast<char>('0' + frac % 10);
        frac /= 10;
    }
    out.append(digits, static_cast<std::size_t>(decimals));
}

// "h:mm:ss", hours without leading zero.
void appendElapsed(std::string &out, long long seconds)
{
    appendInt(out, seconds / 3600);
    out.push_back(':');
    appendTwoDigits(out, static_cast<int>(seconds / 60 % 60));
    out.push_back(':');
    appendTwoDigits(out, static_cast<int>(seconds % 60));
}

// "yymmdd" with the two-digit year.
void appendDate(std::string &out, const QDate &date)
{
    appendTwoDigits(out, ((date.year() % 100) + 100) % 100);
    appendTwoDigits(out, date.month());
    appendTwoDigits(out, date.day());
}

bool flush(QFile &file, std::string &buffer)
{
    const qint64 size = static_cast<qint64>(buffer.size());
    const bool ok = size == 0 || file.write(buffer.data(), size) == size;
    buffer.clear();
    return ok;
}

bool writeFile(const QString &path, const std::string &content)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    std::string copy = content;
    const bool ok = flush(file, copy);
    file.close();
    return ok && file.error() == QFileDevice::NoError;
}

// ---------------------------------------------------------------- the road

// A closed loop around the centre point: a circle of radius baseKm deformed by
// a few harmonics, with two climbs in its altitude profile.
struct Course {
    double baseKm = 4.0;
    double harmonic[3] = {0.0, 0.0, 0.0};
    double phase[3] = {0.0, 0.0, 0.0};
    std::vector<double> lengthAt;  // arc length in km at angle 2*pi*i/kCourseSteps
    double lapKm = 0.0;
    // Altitude: valley floor plus two climbs, each rising over [start, top]
    // and falling over [top, end] (fractions of the lap).
    double floorM = 205.0;
    double climbStart[2] = {0.0, 0.0};
    double climbTop[2] = {0.0, 0.0};
    double climbEnd[2] = {0.0, 0.0};
    double climbM[2] = {0.0, 0.0};
    double ripplePhase = 0.0;
};

double courseRadius(const Course &c, double theta)
{
    static const int orders[3] = {2, 3, 7};
    double f = 1.0;
    for (int i = 0; i < 3; ++i)
        f += c.harmonic[i] * std::sin(orders[i] * theta + c.phase[i]);
    return c.baseKm * f;
}

Course makeCourse(std::mt19937 &rng)
{
    Course c;
    c.baseKm = uniform(rng, 3.9, 4.5);
    c.harmonic[0] = uniform(rng, 0.12, 0.20);
    c.harmonic[1] = uniform(rng, 0.04, 0.08);
    c.harmonic[2] = uniform(rng, 0.01, 0.025);
    for (double &p : c.phase)
        p = uniform(rng, 0.0, 2.0 * kPi);

    c.lengthAt.resize(kCourseSteps + 1);
    c.lengthAt[0] = 0.0;
    double prevX = courseRadius(c, 0.0);
    double prevY = 0.0;
    for (int i = 1; i <= kCourseSteps; ++i) {
        const double theta = 2.0 * kPi * i / kCourseSteps;
        const double r = courseRadius(c, theta);
        const double x = r * std::cos(theta);
        const double y = r * std::sin(theta);
        c.lengthAt[i] = c.lengthAt[i - 1] + std::hypot(x - prevX, y - prevY);
        prevX = x;
        prevY = y;
    }
    c.lapKm = c.lengthAt[kCourseSteps];

    c.climbStart[0] = uniform(rng, 0.06, 0.12);
    c.climbTop[0] = c.climbStart[0] + uniform(rng, 0.16, 0.20);
    c.climbEnd[0] = c.climbTop[0] + uniform(rng, 0.11, 0.14);
    c.climbM[0] = uniform(rng, 190.0, 240.0);
    c.climbStart[1] = uniform(rng, 0.55, 0.60);
    c.climbTop[1] = c.climbStart[1] + uniform(rng, 0.09, 0.12);
    c.climbEnd[1] = c.climbTop[1] + uniform(rng, 0.10, 0.14);
    c.climbM[1] = uniform(rng, 95.0, 130.0);
    c.ripplePhase = uniform(rng, 0.0, 2.0 * kPi);
    return c;
}

double wrapKm(const Course &c, double km)
{
    double s = std::fmod(km, c.lapKm);
    return s < 0.0 ? s + c.lapKm : s;
}

double courseAltitude(const Course &c, double km)
{
    const double u = wrapKm(c, km) / c.lapKm;
    double h = c.floorM + 6.0 * std::sin(2.0 * kPi * 11.0 * u + c.ripplePhase);
    for (int i = 0; i < 2; ++i) {
        if (u <= c.climbStart[i] || u >= c.climbEnd[i])
            continue;
        if (u < c.climbTop[i])
            h += c.climbM[i] * 0.5 * (1.0 - std::cos(kPi * (u - c.climbStart[i]) / (c.climbTop[i] - c.climbStart[i])));
        else
            h += c.climbM[i] * 0.5 * (1.0 + std::cos(kPi * (u - c.climbTop[i]) / (c.climbEnd[i] - c.climbTop[i])));
    }
    return h;
}

// Rise over run at km, from the altitude 5 m either side.
double courseGrade(const Course &c, double km)
{
    return (courseAltitude(c, km + 0.005) - courseAltitude(c, km - 0.005)) / 10.0;
}

// Position at km along the loop, as east and north offsets from the centre.
void coursePoint(const Course &c, double km, double &eastKm, double &northKm)
{
    const double s = wrapKm(c, km);
    const auto it = std::upper_bound(c.lengthAt.begin(), c.lengthAt.end(), s);
    const int i = std::min<int>(static_cast<int>(it - c.lengthAt.begin()), kCourseSteps) - 1;
    const double span = c.lengthAt[i + 1] - c.lengthAt[i];
    const double f = span > 0.0 ? (s - c.lengthAt[i]) / span : 0.0;
    const double theta = 2.0 * kPi * (i + f) / kCourseSteps;
    const double r = courseRadius(c, theta);
    eastKm = r * std::cos(theta);
    northKm = r * std::sin(theta);
}

// ---------------------------------------------------------------- the rider

// What a single-turn file needs to know about the moment it was recorded.
struct TurnMoment {
    long long second = 0;   // whole seconds after the start
    double power = 200.0;   // total power, W
    double leftShare = 0.5;
    double cadence = 90.0;  // rpm
};

// Force over the crank angle for one leg, unscaled: a push peaking half-way
// down the stroke and a slight drag on the way up.
double legForceShape(double degrees)
{
    const double s = std::sin(degrees * kPi / 180.0);
    return s > 0.0 ? std::pow(s, 1.6) : 0.08 * s;
}

std::string turnFileName(const QDateTime &moment)
{
    std::string name = "T_";
    appendDate(name, moment.date());
    name.push_back('.');
    appendTwoDigits(name, moment.time().hour());
    name.push_back('-');
    appendTwoDigits(name, moment.time().minute());
    name.push_back('-');
    appendTwoDigits(name, moment.time().second());
    name += ".csv";
    return name;
}

std::string turnFileContent(const std::string &name, const TurnMoment &m, std::mt19937 &rng)
{
    constexpr double crankM = 0.1725;
    const double omega = m.cadence * 2.0 * kPi / 60.0;  // rad/s
    const double shiftLeft = uniform(rng, -6.0, 6.0);
    const double shiftRight = uniform(rng, -6.0, 6.0);

    double meanShape = 0.0;
    for (int a = 0; a < 360; a += 10)
        meanShape += legForceShape(a);
    meanShape /= 36.0;

    // Mean force of each leg that delivers its share of the power.
    const double scaleLeft = m.power * m.leftShare / (crankM * omega * meanShape);
    const double scaleRight = m.power * (1.0 - m.leftShare) / (crankM * omega * meanShape);

    std::string out = "VOK_Single_Turn_file ," + name + "\n";
    for (int i = 0; i < 36; ++i) {
        const double angle = 10.0 * i;
        const double left = scaleLeft * legForceShape(angle - shiftLeft) * (1.0 + 0.03 * gaussian(rng))
                            + 3.0 * gaussian(rng);
        const double right = scaleRight * legForceShape(angle - 180.0 - shiftRight) * (1.0 + 0.03 * gaussian(rng))
                             + 3.0 * gaussian(rng);
        const double power = (left + right) * crankM * omega;
        appendInt(out, i);
        out.push_back(',');
        appendInt(out, 10 * i);
        out.push_back(',');
        appendFixed(out, power, 1);
        out.push_back(',');
        appendFixed(out, left, 1);
        out.push_back(',');
        appendFixed(out, right, 1);
        out.push_back('\n');
    }
    out += "#####\n";
    return out;
}

} // namespace

RideGenerator::RideGenerator(const RidePlan &ridePlan)
    : m_plan(ridePlan)
{
}

QString RideGenerator::sessionFileName() const
{
    std::string name = "S_";
    appendDate(name, m_plan.start.date());
    name.push_back('_');
    appendTwoDigits(name, m_plan.start.time().hour());
    name.push_back('-');
    appendTwoDigits(name, m_plan.start.time().minute());
    name += ".csv";
    return QString::fromStdString(name);
}

QString RideGenerator::write(const QString &directory) const
{
    if (directory.isEmpty() || !QDir().mkpath(directory))
        return QString();
    const QDir dir(directory);

    const double duration = std::isfinite(m_plan.durationSeconds)
                                ? clampTo(m_plan.durationSeconds, 0.0, kMaxSeconds)
                                : 0.0;
    const double rate = std::isfinite(m_plan.rateHz) && m_plan.rateHz > 0.0 ? m_plan.rateHz : 1.0;
    const double dt = 1.0 / rate;
    const long long samples = std::llround(duration * rate);

    std::mt19937 rng(m_plan.seed);
    const Course course = makeCourse(rng);
    std::mt19937 events(m_plan.seed ^ 0x9e3779b9u);

    // Auto-pauses: before which sample, and for how many whole seconds.
    const long long pauseCount = std::min<long long>(std::max(m_plan.pauses, 0), samples);
    std::vector<long long> pauseSample(static_cast<std::size_t>(pauseCount));
    std::vector<long long> pauseSeconds(pauseSample.size());
    for (std::size_t k = 0; k < pauseSample.size(); ++k) {
        pauseSample[k] = static_cast<long long>(std::floor((k + 1.0) * samples / (pauseCount + 1)));
        pauseSeconds[k] = static_cast<long long>(std::ceil(std::max(uniform(events, 120.0, 2700.0), 20.0 * dt)));
    }

    // Stretches without a GPS fix: first sample and number of samples.
    const long long runCount = std::min<long long>(std::max(m_plan.runsWithoutFix, 0), samples);
    std::vector<long long> runStart(static_cast<std::size_t>(runCount));
    std::vector<long long> runLength(runStart.size());
    for (std::size_t j = 0; j < runStart.size(); ++j) {
        runStart[j] = static_cast<long long>(std::floor((j + 0.3) * samples / runCount));
        runLength[j] = std::max(1ll, std::llround(uniform(events, 30.0, 240.0) * rate));
    }
    const int decimals = std::min(std::max(m_plan.coordinateDecimals, 0), 7);

    // Moments of the single-turn files, evenly spread over the ride.
    const long long turnCount = std::min<long long>(std::max(m_plan.turnFiles, 0),
                                                    static_cast<long long>(std::floor(duration)));
    std::vector<TurnMoment> turns(static_cast<std::size_t>(turnCount));
    std::vector<long long> turnSample(turns.size());
    for (std::size_t k = 0; k < turns.size(); ++k) {
        turns[k].second = static_cast<long long>(std::floor((k + 0.5) * duration / turnCount));
        turnSample[k] = std::min(samples - 1, static_cast<long long>(std::ceil(turns[k].second * rate - 1e-9)));
    }

    // Samples carrying a photo reference, evenly spread.
    const long long photoCount = std::min<long long>(std::max(m_plan.photos, 0), samples);
    std::vector<long long> photoSample(static_cast<std::size_t>(photoCount));
    for (std::size_t j = 0; j < photoSample.size(); ++j)
        photoSample[j] = static_cast<long long>(std::floor((j + 0.5) * samples / photoCount));

    const QString sessionPath = dir.filePath(sessionFileName());
    QFile file(sessionPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return QString();

    std::string out;
    out.reserve(kFlushBytes + 4096);
    out += "VOK_session_file ,";
    out += sessionFileName().toStdString();
    out += "\nKm @ Start ,";
    appendFixed(out, std::max(0.0, std::isfinite(m_plan.startKm) ? m_plan.startKm : 0.0), 1);
    out += "\nTime @ Start ,";
    appendTwoDigits(out, m_plan.start.time().hour());
    out.push_back('-');
    appendTwoDigits(out, m_plan.start.time().minute());
    out.push_back('-');
    appendTwoDigits(out, m_plan.start.time().second());
    out += "\nSample,Time,Longitude,Latitude,Altitude,HeartRate,Cadence,Speed,-,Power,PowerLeft,"
           "PowerRight,OffsetLeft,OffsetRight,UpDownLeft,UpDownRight,-,-,Distance,Photo\n";

    // Rider and bike.
    constexpr double massKg = 82.0;
    constexpr double gravity = 9.81;
    constexpr double rolling = 0.005;
    constexpr double dragArea = 0.32;  // CdA, m^2
    constexpr double airDensity = 1.2;
    constexpr double drivetrain = 0.97;
    constexpr double maxSpeed = 58.0 / 3.6;  // brakes on above this
    const double basePower = uniform(rng, 175.0, 200.0);

    // State carried from sample to sample.
    double speed = 20.0 / 3.6;  // m/s, rolling off the start line
    double distanceKm = 0.0;
    double heart = 100.0;
    double powerDrift = 0.0;
    double cadenceDrift = 0.0;
    double shareDrift = 0.0;
    double offsetLeft = 3.6, offsetRight = 4.1;
    double upDownLeft = 51.0, upDownRight = 49.0;
    double gpsEastM = 0.0, gpsNorthM = 0.0;
    double altitudeNoise = 0.0;
    const int substeps = std::max(1, static_cast<int>(std::ceil(dt / 0.25)));
    const double h = dt / substeps;
    const double centreLat = m_plan.centreLatitude;
    const double centreLon = m_plan.centreLongitude;
    const double kmPerDegreeLon = kKmPerDegree * std::cos(centreLat * kPi / 180.0);

    std::size_t nextTurn = 0;
    std::size_t nextPhoto = 0;
    std::size_t nextPause = 0;
    std::size_t nextRun = 0;
    long long pausedSeconds = 0;  // of all pauses so far
    for (long long i = 0; i < samples; ++i) {
        const double t = i * dt;
        const double hours = t / 3600.0;
        while (nextPause < pauseSample.size() && pauseSample[nextPause] == i) {
            // Standing still: the heart rate settles, the rider sets off again slowly.
            const long long pause = pauseSeconds[nextPause++];
            pausedSeconds += pause;
            heart = 75.0 + (heart - 75.0) * std::exp(-static_cast<double>(pause) / 120.0);
            speed = 1.5;
        }
        while (nextRun < runStart.size() && runStart[nextRun] + runLength[nextRun] <= i)
            ++nextRun;
        const bool fix = nextRun >= runStart.size() || i < runStart[nextRun];
        const double grade = courseGrade(course, distanceKm);

        // Effort: steady on the flat, harder on climbs, easy downhill, fading slowly.
        powerDrift = wander(powerDrift, 0.0, 18.0, 90.0, dt, rng);
        const double effort = std::max(60.0, basePower / (1.0 + 0.025 * hours) + 1500.0 * clampTo(grade, -0.08, 0.09))
                              + powerDrift;
        const double power = std::max(35.0, effort + 10.0 * gaussian(rng));

        cadenceDrift = wander(cadenceDrift, 0.0, 3.0, 20.0, dt, rng);
        const double cadence = clampTo(90.0 - 300.0 * std::max(grade, 0.0) + cadenceDrift + 1.5 * gaussian(rng), 60.0, 100.0);

        const double heartTarget = 86.0 + 0.28 * effort + std::min(12.0, 3.0 * hours);
        heart += (heartTarget - heart) * (1.0 - std::exp(-dt / 45.0));
        const double heartShown = clampTo(heart + 0.8 * gaussian(rng), 100.0, 180.0);

        shareDrift = wander(shareDrift, 0.0, 0.015, 300.0, dt, rng);
        const double leftShare = clampTo(0.5 + shareDrift + 0.01 * gaussian(rng), 0.44, 0.56);
        // In tenths of a watt, so that the two sides add up to the total exactly.
        const long long totalTenths = std::llround(power * 10.0);
        const long long leftTenths = std::llround(static_cast<double>(totalTenths) * leftShare);

        offsetLeft = clampTo(wander(offsetLeft, 3.6, 0.35, 60.0, dt, rng), 1.0, 7.0);
        offsetRight = clampTo(wander(offsetRight, 4.1, 0.35, 60.0, dt, rng), 1.0, 7.0);
        upDownLeft = clampTo(wander(upDownLeft, 51.0, 2.5, 120.0, dt, rng), 38.0, 62.0);
        upDownRight = clampTo(wander(upDownRight, 49.0, 2.5, 120.0, dt, rng), 38.0, 62.0);

        double eastKm = 0.0, northKm = 0.0;
        coursePoint(course, distanceKm, eastKm, northKm);
        gpsEastM = wander(gpsEastM, 0.0, 2.5, 5.0, dt, rng);
        gpsNorthM = wander(gpsNorthM, 0.0, 2.5, 5.0, dt, rng);
        const double longitude = centreLon + (eastKm + gpsEastM / 1000.0) / kmPerDegreeLon;
        const double latitude = centreLat + (northKm + gpsNorthM / 1000.0) / kKmPerDegree;
        altitudeNoise = wander(altitudeNoise, 0.0, 0.8, 10.0, dt, rng);
        const double altitude = courseAltitude(course, distanceKm) + altitudeNoise;

        if (nextTurn < turns.size() && turnSample[nextTurn] == i) {
            // Turns can share a sample only when the ride has fewer samples than seconds.
            while (nextTurn < turns.size() && turnSample[nextTurn] == i) {
                turns[nextTurn].power = power;
                turns[nextTurn].leftShare = leftShare;
                turns[nextTurn].cadence = cadence;
                turns[nextTurn].second += pausedSeconds;
                ++nextTurn;
            }
        }

        appendInt(out, i);
        out.push_back(',');
        appendElapsed(out, static_cast<long long>(std::floor(t + 1e-9)) + pausedSeconds);
        out.push_back(',');
        appendFixed(out, fix ? longitude : 0.0, decimals);
        out.push_back(',');
        appendFixed(out, fix ? latitude : 0.0, decimals);
        out.push_back(',');
        appendFixed(out, altitude, 1);
        out.push_back(',');
        appendFixed(out, heartShown, 1);
        out.push_back(',');
        appendFixed(out, cadence, 1);
        out.push_back(',');
        appendFixed(out, speed * 3.6, 1);
        out += ",0,";
        appendFixed(out, totalTenths / 10.0, 1);
        out.push_back(',');
        appendFixed(out, leftTenths / 10.0, 1);
        out.push_back(',');
        appendFixed(out, (totalTenths - leftTenths) / 10.0, 1);
        out.push_back(',');
        appendFixed(out, offsetLeft, 1);
        out.push_back(',');
        appendFixed(out, offsetRight, 1);
        out.push_back(',');
        appendFixed(out, upDownLeft, 1);
        out.push_back(',');
        appendFixed(out, upDownRight, 1);
        out += ",0,0,";
        appendFixed(out, distanceKm, 3);
        if (nextPhoto < photoSample.size() && photoSample[nextPhoto] == i) {
            ++nextPhoto;
            out += ",IMG_";
            appendPadded(out, static_cast<long long>(nextPhoto), 4);
            out += ".jpg";
        }
        out.push_back('\n');
        if (out.size() >= kFlushBytes && !flush(file, out))
            return QString();

        // Move on to the next sample: drive force against gravity, rolling
        // resistance and air drag; distance is the integral of the speed.
        const double climb = gravity * massKg * (grade + rolling) / std::sqrt(1.0 + grade * grade);
        for (int k = 0; k < substeps; ++k) {
            const double drive = drivetrain * power / std::max(speed, 1.0);
            const double drag = 0.5 * airDensity * dragArea * speed * speed;
            const double newSpeed = clampTo(speed + (drive - climb - drag) / massKg * h, 1.5, maxSpeed);
            distanceKm += 0.5 * (speed + newSpeed) * h / 1000.0;
            speed = newSpeed;
        }
    }
    out += "#####\n";
    if (!flush(file, out))
        return QString();
    file.close();
    if (file.error() != QFileDevice::NoError)
        return QString();

    for (const TurnMoment &turn : turns) {
        const std::string name = turnFileName(m_plan.start.addSecs(turn.second));
        if (!writeFile(dir.filePath(QString::fromStdString(name)), turnFileContent(name, turn, rng)))
            return QString();
    }
    return sessionPath;
}
