#pragma once
// Messages of the fatal error stop.
#include <string>
#include <string_view>

namespace runtime::errors {

inline constexpr int kIndexBeyondEnd = 1;
inline constexpr int kIndexBelowOne = 4;
inline constexpr int kStackUnbalanced = 6;

inline constexpr const char* kIndexBeyondEndText = "数组成员引用下标超出定义范围";
inline constexpr const char* kIndexBelowOneText = "数组成员引用下标必须大于等于1";
// Calls by name go through correctly typed pointers, so this one never
// happens on our targets; it stays in the table for completeness.
inline constexpr const char* kStackUnbalancedText = "调用DLL命令后发现堆栈错误";

inline constexpr const char* kFormData = "载入窗口模板数据段出错!";
inline constexpr const char* kCreateWindow = "载入启动窗口失败";
inline constexpr const char* kAllocateFormat = "分配 %d 字节内存失败!";
inline constexpr const char* kMissingExportFormat = "无法找到指定DLL库文件中的输出命令“%s”";

// Puts `value` in place of the pattern's one %d or %s.
inline std::string fillIn(std::string_view pattern, std::string_view value) {
    const auto at = pattern.find('%');
    if (at == std::string_view::npos) return std::string(pattern);
    std::string text(pattern.substr(0, at));
    text += value;
    text += pattern.substr(at + 2);
    return text;
}

}  // namespace runtime::errors
