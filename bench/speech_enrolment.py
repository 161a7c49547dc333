#!/usr/bin/env python3
"""What a per-user enrolment could give: for each of five synthesised voices,
five recordings of each command word are decoded by the syllable loop alone;
the syllables heard become that voice's own spellings of the word
(speechcheck --lexicon). Then the voice's test utterances (other speeds and
pitches) and unrelated phrases are decoded with and without those spellings.
Prints recognition, wrong commands, slow speech and false accepts for both."""
import collections
import os
import shutil
import subprocess
import tempfile
SC=os.environ.get('SPEECHCHECK', os.path.join(os.path.dirname(__file__), '..', 'build', 'release', 'bin', 'speechcheck'))
W=['录音','暂停','继续','停止','播放','试听','保存','停止识别']
OOV=['你好','谢谢','保证','播音','打开','暂时','吃饭了吗','我要回家','今天天气很好','电话','明天见','多少钱','老师好','停车','开始']
WORK=tempfile.mkdtemp()
# The syllable loop's spellings, as the decoder's own dictionary has them.
d=subprocess.run([SC,'--print-dictionary'],capture_output=True,text=True).stdout
syl={}
for line in d.splitlines():
    w,ph=line.split('\t')
    if w.startswith('s_'): syl[w]=ph
def synth(path,text,voice,speed,pitch):
    if not os.path.exists(path):
        subprocess.run(['espeak-ng','-v','cmn-latn-pinyin'+voice,'-s',str(speed),'-p',str(pitch),'-w',path,text],check=True)
def hyp(path):
    env=dict(os.environ,SPEECH_DEBUG='1',SPEECH_COMMAND_PROBABILITY='0.001')
    out=subprocess.run([SC,path],capture_output=True,text=True,env=env).stderr
    for l in out.splitlines():
        if l.startswith('hyp ['): return l[5:l.index(']')].split()
    return []
tot=collections.Counter()
for voice in ['+m1','+m5','+f1','+f3','+f4']:
    lex=[]
    for w in W:
        seen=set()
        for sp,pi in [(110,50),(150,50),(130,40),(120,60),(160,45)]:
            p=f'{WORK}/e_{w}_{sp}_{pi}{voice}.wav'; synth(p,w,voice,sp,pi)
            h=hyp(p)
            if h and all(t.startswith('s_') for t in h):
                ph=' '.join(syl[t] for t in h)
                if ph not in seen: seen.add(ph); lex.append(f'{w} {ph}')
    lexf=f'{WORK}/lex{voice}.txt'; open(lexf,'w').write('\n'.join(lex)+'\n')
    files=[]
    for w in W:
        for sp in (110,150,180):
            for pi in (35,65):
                p=f'{WORK}/t_{w}_{sp}_{pi}{voice}.wav'; synth(p,w,voice,sp,pi); files.append(p)
    oov=[]
    for o in OOV:
        for sp in (110,150):
            p=f'{WORK}/o_{o}_{sp}{voice}.wav'; synth(p,o,voice,sp,50); oov.append(p)
    for mode,args in (('base',[]),('enrolled',['--lexicon',lexf])):
        out=subprocess.run([SC]+args+files+oov,capture_output=True,text=True,env=dict(os.environ,SPEECH_COMMAND_PROBABILITY=os.environ.get('P','0.05'))).stdout
        for l in out.splitlines():
            f,ph=l.split('\t'); b=os.path.basename(f); kind,word=b.split('_')[0],b.split('_')[1]
            if kind=='t':
                tot[(mode,'ok' if word==ph else 'wrong')]+=1
                if word==ph and '_110_' in b: tot[(mode,'slowok')]+=1
            else: tot[(mode,'fa')]+=1
for mode in ('base','enrolled'):
    n=240
    print(f"{mode}: recognised {100*tot[(mode,'ok')]/n:.1f}%, wrong {100*tot[(mode,'wrong')]/n:.1f}%, slow {100*tot[(mode,'slowok')]/80:.1f}%, unrelated accepted {100*tot[(mode,'fa')]/150:.1f}%")
shutil.rmtree(WORK)
