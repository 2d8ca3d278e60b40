"""Makes a roll book for the workbook benchmark with xlwt: CLASSES class
sheets of 60 people with LESSONS dated score columns, and a prize sheet.

    /usr/bin/python3 xls_make_book.py PATH CLASSES LESSONS
"""
import random
import sys

import xlwt


def main():
    path, classes, lessons = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
    rng = random.Random(classes)
    book = xlwt.Workbook(encoding="utf-8")
    surnames = "王李张刘陈杨黄赵吴周徐孙马朱胡郭何高林罗"
    given = "伟芳娜秀英敏静丽强磊军洋勇艳杰娟涛明超兰霞平刚华玉萍红"
    for k in range(classes):
        ws = book.add_sheet("班级%02d" % (k + 1))
        ws.write_merge(0, 0, 0, 10, "班级%02d 课堂记录" % (k + 1))
        for col, text in enumerate(["学号", "姓名", "性别", "备注", "组号", "组内号"]):
            ws.write(1, col, text)
        for j in range(lessons):
            ws.write(1, 6 + j, "%02d月%02d" % (j // 28 % 12 + 1, j % 28 + 1))
        for i in range(60):
            row = 2 + i
            ws.write(row, 0, i + 1)
            ws.write(row, 1, rng.choice(surnames) + rng.choice(given) + rng.choice(given))
            ws.write(row, 2, rng.choice(("男", "女")))
            ws.write(row, 3, "班级%02d 第%d号 家长电话 139%08d" % (k + 1, i + 1, rng.randrange(10 ** 8)))
            ws.write(row, 4, i // 6 + 1)
            ws.write(row, 5, i % 6 + 1)
            for j in range(lessons):
                ws.write(row, 6 + j, rng.choice((1, 2, 3, 0.5, 1.5)))
    prizes = book.add_sheet("抽奖品")
    prizes.write(0, 1, "抽奖")
    for i in range(5):
        prizes.write(2 + i, 0, i + 1)
        prizes.write(2 + i, 1, "%d等奖" % (i + 1))
    book.save(path)


if __name__ == "__main__":
    main()
