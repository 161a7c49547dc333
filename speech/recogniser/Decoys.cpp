// Made by speech/tool/choose_decoys.py from a pinyin input method's word
// list; run it again rather than editing this table.

#include "CommandLexicon.h"

namespace speech {

const std::vector<Decoy>& decoyWords() {
    static const std::vector<Decoy> words = {
        {"语音", "yu yin", "录音"},    {"路由", "lu you", "录音"},    {"复印", "fu yin", "录音"},
        {"录用", "lu yong", "录音"},   {"如因", "ru yin", "录音"},    {"烙印", "lao yin", "录音"},
        {"通知", "tong zhi", "停止"},  {"性质", "xing zhi", "停止"},  {"体制", "ti zhi", "停止"},
        {"定制", "ding zhi", "停止"},  {"听着", "ting zhe", "停止"},  {"精致", "jing zhi", "停止"},
        {"餐厅", "can ting", "暂停"},  {"赞同", "zan tong", "暂停"},  {"难听", "nan ting", "暂停"},
        {"展厅", "zhan ting", "暂停"}, {"赞叹", "zan tan", "暂停"},   {"暂定", "zan ding", "暂停"},
        {"技术", "ji shu", "继续"},    {"必须", "bi xu", "继续"},     {"基础", "ji chu", "继续"},
        {"记录", "ji lu", "继续"},     {"几乎", "ji hu", "继续"},     {"持续", "chi xu", "继续"},
        {"北方", "bei fang", "播放"},  {"不妨", "bu fang", "播放"},   {"模仿", "mo fang", "播放"},
        {"拜访", "bai fang", "播放"},  {"病房", "bing fang", "播放"}, {"我方", "wo fang", "播放"},
        {"事情", "shi qing", "试听"},  {"实行", "shi xing", "试听"},  {"适应", "shi ying", "试听"},
        {"石头", "shi tou", "试听"},   {"尸体", "shi ti", "试听"},    {"试图", "shi tu", "试听"},
        {"报错", "bao cuo", "保存"},   {"并存", "bing cun", "保存"},  {"报讯", "bao xun", "保存"},
        {"暴君", "bao jun", "保存"},   {"本村", "ben cun", "保存"},   {"不存", "bu cun", "保存"},
    };
    return words;
}

} // namespace speech
