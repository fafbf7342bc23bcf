#pragma once
// Reads written videos back with FFmpeg's own programs, as a viewer's player would: the
// stream's facts from ffprobe, and every frame decoded to blue-green-red bytes by ffmpeg.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace hoopcast::testing {

inline std::string command_output(const std::string& command) {
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
        ::pclose(pipe);
    }
    return out;
}

struct VideoFacts {
    std::string codec;
    std::string pixels;
    std::string frame_rate;  // as a fraction, "50/1"
    int width = 0;
    int height = 0;
    long frames = 0;        // counted by decoding
    double duration = 0.0;  // the container's, in seconds
};

inline VideoFacts probe_video(const std::string& path) {
    std::map<std::string, std::string> v;
    std::istringstream lines(
        command_output("ffprobe -v error -select_streams v:0 -count_frames -show_entries "
                       "stream=codec_name,pix_fmt,width,height,r_frame_rate,nb_read_frames:format=duration "
                       "-of default=nw=1 '" +
                       path + "'"));
    for (std::string line; std::getline(lines, line);) {
        const auto eq = line.find('=');
        if (eq != std::string::npos) v[line.substr(0, eq)] = line.substr(eq + 1);
    }
    VideoFacts f;
    f.codec = v["codec_name"];
    f.pixels = v["pix_fmt"];
    f.frame_rate = v["r_frame_rate"];
    f.width = std::atoi(v["width"].c_str());
    f.height = std::atoi(v["height"].c_str());
    f.frames = std::atol(v["nb_read_frames"].c_str());
    f.duration = std::atof(v["duration"].c_str());
    return f;
}

// Every frame of the video, `width` x `height` pixels of 3 bytes each, one after another.
inline std::vector<std::uint8_t> decode_frames(const std::string& path) {
    const std::string raw = path + ".bgr";
    std::system(("ffmpeg -v error -y -i '" + path + "' -f rawvideo -pix_fmt bgr24 '" + raw + "'").c_str());
    std::ifstream in(raw, std::ios::binary);
    std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::filesystem::remove(raw);
    return bytes;
}

}  // namespace hoopcast::testing
